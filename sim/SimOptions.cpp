#include "SimOptions.h"

#include <QCommandLineParser>
#include <QHash>
#include <functional>
#include <vector>

namespace nodalyx::sim {

namespace {
constexpr int kMaxLoggers = 1000;

bool parseInt(const QString& text, int min, int max, int& out) {
    bool ok = false;
    const int v = text.toInt(&ok);
    if (!ok || v < min || v > max)
        return false;
    out = v;
    return true;
}

bool parseTcp(const QString& text, SimOptions& o) {
    const qsizetype colon = text.lastIndexOf(QLatin1Char(':'));
    int port = 0;
    if (!parseInt(colon < 0 ? text : text.mid(colon + 1), 0, 65535, port))
        return false;
    if (colon >= 0) {
        QString host = text.left(colon);
        if (host.startsWith(QLatin1Char('[')) && host.endsWith(QLatin1Char(']')))
            host = host.mid(1, host.size() - 2);
        if (host == QLatin1String("localhost"))
            host = QStringLiteral("127.0.0.1");
        if (!o.host.setAddress(host))
            return false;
    }
    o.tcp = true;
    o.port = quint16(port);
    return true;
}
} // namespace

bool parseCodes(const QString& text, QSet<int>& out) {
    for (const QString& part : text.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        int code = 0;
        if (!parseInt(part.trimmed(), 0, 255, code))
            return false;
        out.insert(code);
    }
    return true;
}

namespace {

// One option: its name, the name of its value (none: a switch) and what it does to the
// options; a handler answers false with *error set when the value is wrong.
struct Rule {
    const char* name;
    const char* valueName;
    std::function<bool(SimOptions&, const QString& value, QString* error)> take;
};

bool parseCuts(const QString& text, QHash<int, int>& out) {
    for (const QString& part : text.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QStringList pair = part.split(QLatin1Char(':'));
        int code = 0;
        int length = 0;
        if (pair.size() != 2 || !parseInt(pair[0].trimmed(), 0, 255, code) ||
            !parseInt(pair[1].trimmed(), 0, 65536, length))
            return false;
        out.insert(code, length);
    }
    return true;
}

bool takeNumber(const QString& option, const QString& value, int min, int max, int& out,
                QString* error) {
    if (parseInt(value, min, max, out))
        return true;
    *error = QStringLiteral("%1: '%2' is not a number from %3 to %4")
                 .arg(option, value)
                 .arg(min)
                 .arg(max);
    return false;
}

bool takeCodes(const QString& option, const QString& value, QSet<int>& out, QString* error) {
    if (parseCodes(value, out))
        return true;
    *error = QStringLiteral("%1: '%2' is not a list of codes 0..255").arg(option, value);
    return false;
}

Rule number(const char* name, int min, int max, int SimFaults::*field) {
    return {name, "N", [=](SimOptions& o, const QString& v, QString* e) {
                return takeNumber(QLatin1String("--") + QLatin1String(name), v, min, max,
                                  o.faults.*field, e);
            }};
}

Rule codes(const char* name, QSet<int> SimFaults::*field) {
    return {name, "CODES", [=](SimOptions& o, const QString& v, QString* e) {
                return takeCodes(QLatin1String("--") + QLatin1String(name), v, o.faults.*field, e);
            }};
}

Rule text(const char* name, const char* valueName, QString SimOptions::*field) {
    return {name, valueName, [=](SimOptions& o, const QString& v, QString*) {
                o.*field = v;
                return true;
            }};
}

Rule flag(const char* name, const std::function<void(SimOptions&)>& set) {
    return {name, nullptr, [=](SimOptions& o, const QString&, QString*) {
                set(o);
                return true;
            }};
}

const std::vector<Rule>& rules() {
    static const std::vector<Rule> all = {
        {"tcp", "[HOST:]PORT",
         [](SimOptions& o, const QString& v, QString* e) {
             if (parseTcp(v, o))
                 return true;
             *e = QStringLiteral("--tcp: '%1' is not [HOST:]PORT").arg(v);
             return false;
         }},
        text("pty", "LINK", &SimOptions::ptyLink),
        text("state", "FILE", &SimOptions::stateFile),
        text("serial", "TEXT", &SimOptions::serial),
        text("files", "DIR", &SimOptions::filesFolder),
        {"block-size", "N",
         [](SimOptions& o, const QString& v, QString* e) {
             return takeNumber(QStringLiteral("--block-size"), v, 1, 4096, o.blockSize, e);
         }},
        flag("fixed-counts", [](SimOptions& o) { o.growing = false; }),
        flag("growing-counts", [](SimOptions& o) { o.growing = true; }),
        number("delay", 0, 600000, &SimFaults::delayMs),
        flag("silent", [](SimOptions& o) { o.faults.silent = true; }),
        codes("nak", &SimFaults::nakCodes),
        codes("corrupt", &SimFaults::corruptCodes),
        codes("extra-byte", &SimFaults::extraByteCodes),
        codes("drop-byte", &SimFaults::dropByteCodes),
        codes("close-on", &SimFaults::closeCodes),
        codes("garbage", &SimFaults::garbageCodes),
        number("chunk", 0, 65536, &SimFaults::chunkSize),
        number("chunk-gap", 0, 60000, &SimFaults::chunkGapMs),
        number("baud", 0, 4000000, &SimFaults::baud),
        number("late-byte", 0, 60000, &SimFaults::lateByteMs),
        number("stray", 0, 65536, &SimFaults::strayBytes),
        number("flood", 0, 16 * 1024 * 1024, &SimFaults::floodBytes),
        {"cut", "CODE:N,...",
         [](SimOptions& o, const QString& v, QString* e) {
             if (parseCuts(v, o.faults.cutCodes))
                 return true;
             *e = QStringLiteral("--cut: '%1' is not a list of CODE:LENGTH").arg(v);
             return false;
         }},
        {"packet-fault", "CODE:NUMBER:KIND[:TIMES[:VALUE[:BLOCKS]]]",
         [](SimOptions& o, const QString& v, QString* e) {
             const std::optional<PacketFault> fault = parsePacketFault(v);
             if (fault)
                 o.faults.packetFaults.append(*fault);
             else
                 *e = QStringLiteral("--packet-fault: '%1' is not CODE:NUMBER:KIND[:TIMES"
                                     "[:VALUE[:BLOCKS]]]")
                          .arg(v);
             return fault.has_value();
         }},
        flag("verbose", [](SimOptions& o) { o.verbose = true; }),
        {"loggers", "N",
         [](SimOptions& o, const QString& v, QString* e) {
             int count = 0;
             if (!takeNumber(QStringLiteral("--loggers"), v, 1, kMaxLoggers, count, e))
                 return false;
             o.loggers = count;
             return true;
         }},
        {"silent-loggers", "N",
         [](SimOptions& o, const QString& v, QString* e) {
             return takeNumber(QStringLiteral("--silent-loggers"), v, 0, kMaxLoggers,
                               o.silentLoggers, e);
         }},
    };
    return all;
}

const Rule* findRule(const QString& name) {
    for (const Rule& rule : rules()) {
        if (name == QLatin1String(rule.name))
            return &rule;
    }
    return nullptr;
}

// Why the parser refused the words, in this program's words.
QString parseError(const QCommandLineParser& parser, const QStringList& args) {
    const QString last = args.isEmpty() ? QString() : args.last();
    const Rule* rule = last.startsWith(QLatin1String("--")) ? findRule(last.mid(2)) : nullptr;
    if (rule && rule->valueName)
        return QStringLiteral("%1 needs a value").arg(last);
    for (const QString& word : args) {
        for (const QString& name : parser.unknownOptionNames()) {
            if (word.startsWith(QLatin1Char('-')) && word.contains(name))
                return QStringLiteral("unknown option '%1'").arg(word);
        }
    }
    return parser.errorText();
}

// What is wrong with --loggers and --silent-loggers as given; empty when nothing is.
QString fleetMistake(const SimOptions& o) {
    if (!o.loggers)
        return o.silentLoggers > 0 ? QStringLiteral("--silent-loggers needs --loggers") : QString();
    if (o.silentLoggers > *o.loggers)
        return QStringLiteral("--silent-loggers: %1 is more than the %2 loggers")
            .arg(o.silentLoggers)
            .arg(*o.loggers);
    if (!o.tcp || !o.ptyLink.isEmpty() || !o.stateFile.isEmpty())
        return QStringLiteral("--loggers needs --tcp and takes neither --pty nor --state");
    if (o.port != 0 && int(o.port) + *o.loggers - 1 > 65535)
        return QStringLiteral("--loggers: ports %1 to %2 do not all exist")
            .arg(o.port)
            .arg(int(o.port) + *o.loggers - 1);
    return {};
}

} // namespace

QStringList simOptionNames() {
    QStringList names{QStringLiteral("help"), QStringLiteral("version")};
    for (const Rule& rule : rules())
        names << QLatin1String(rule.name);
    return names;
}

std::optional<SimOptions> parseSimOptions(const QStringList& args, QString* error, bool* help,
                                          bool* version) {
    QCommandLineParser parser;
    parser.addOption({{QStringLiteral("h"), QStringLiteral("help")}, {}});
    parser.addOption({QStringLiteral("version"), {}});
    for (const Rule& rule : rules())
        parser.addOption({QLatin1String(rule.name), {}, QLatin1String(rule.valueName)});
    *help = false;
    if (version)
        *version = false;
    if (!parser.parse(QStringList{QStringLiteral("nodalyx-loggersim")} + args)) {
        *error = parseError(parser, args);
        return std::nullopt;
    }
    SimOptions o;
    if (parser.isSet(QStringLiteral("help")) ||
        (version && parser.isSet(QStringLiteral("version")))) {
        *help = parser.isSet(QStringLiteral("help"));
        if (version)
            *version = !*help;
        return o;
    }
    if (!parser.positionalArguments().isEmpty()) {
        *error = QStringLiteral("unknown option '%1'").arg(parser.positionalArguments().first());
        return std::nullopt;
    }
    // In the order given, so a later switch overrides an earlier one and lists add up.
    QHash<QString, int> used;
    for (const QString& name : parser.optionNames()) {
        const Rule* rule = findRule(name);
        const QString value = rule->valueName ? parser.values(name).value(used[name]++) : QString();
        if (!rule->take(o, value, error))
            return std::nullopt;
    }
    if (!o.tcp && o.ptyLink.isEmpty()) {
        *error = QStringLiteral("give --tcp [HOST:]PORT or --pty LINK");
        return std::nullopt;
    }
    *error = fleetMistake(o);
    if (!error->isEmpty())
        return std::nullopt;
    return o;
}

} // namespace nodalyx::sim
