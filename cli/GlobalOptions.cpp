#include "GlobalOptions.h"
#include "CliText.h"

#include <QCommandLineParser>

namespace nodalyx::cli {

namespace {

QString needsDir() {
    return CliText::tr("--dir needs a directory");
}

// Takes the global option at words[i] out into o; false when words[i] is none.
bool takeGlobal(QStringList& words, qsizetype i, GlobalOptions& o) {
    const QString w = words[i];
    if (w == QLatin1String("--help") || w == QLatin1String("-h"))
        o.help = true;
    else if (w == QLatin1String("--version"))
        o.version = true;
    else if (w == QLatin1String("--trace"))
        o.trace = true;
    else if (w == QLatin1String("--yes"))
        o.yes = true;
    else if (w.startsWith(QLatin1String("--dir=")))
        o.dir = w.mid(6);
    else if (w != QLatin1String("--dir"))
        return false;
    else if (i + 1 < words.size())
        o.dir = words.takeAt(i + 1);
    else
        o.error = needsDir();
    if (w.startsWith(QLatin1String("--dir")) && o.dir.isEmpty())
        o.error = needsDir();
    words.removeAt(i);
    return true;
}

// Why the parser refused the options before the command, in this program's words.
QString headError(const QCommandLineParser& parser, const QStringList& arguments) {
    if (!arguments.isEmpty() && arguments.last() == QLatin1String("--dir"))
        return needsDir();
    const QStringList unknown = parser.unknownOptionNames();
    if (unknown.isEmpty())
        return parser.errorText();
    for (const QString& word : arguments) {
        if (word.startsWith(QLatin1Char('-')) && word.contains(unknown.first()))
            return CliText::tr("unknown option '%1'").arg(word.section(QLatin1Char('='), 0, 0));
    }
    return CliText::tr("unknown option '%1'").arg(unknown.first());
}

// The options before the command, read by the parser; answers false with o.error set.
bool parseHead(const QStringList& arguments, GlobalOptions& o) {
    QCommandLineParser parser;
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
    const QCommandLineOption dir(QStringLiteral("dir"), {}, QStringLiteral("DIR"));
    const QCommandLineOption trace(QStringLiteral("trace"));
    const QCommandLineOption yes(QStringLiteral("yes"));
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption version(QStringLiteral("version"));
    parser.addOptions({dir, trace, yes, help, version});
    if (!parser.parse(QStringList{QStringLiteral("nodalyx-cli")} + arguments)) {
        o.error = headError(parser, arguments);
        return false;
    }
    o.dir = parser.value(dir);
    if (parser.isSet(dir) && o.dir.isEmpty())
        o.error = needsDir();
    o.trace = parser.isSet(trace);
    o.yes = parser.isSet(yes);
    o.help = parser.isSet(help);
    o.version = parser.isSet(version);
    o.command = parser.positionalArguments();
    return o.error.isEmpty();
}

} // namespace

GlobalOptions parseGlobalOptions(const QStringList& arguments) {
    GlobalOptions o;
    if (!parseHead(arguments, o))
        return o;
    for (qsizetype i = 1; i < o.command.size();) {
        if (!takeGlobal(o.command, i, o))
            ++i;
    }
    return o;
}

} // namespace nodalyx::cli
