#include "StartupOptions.h"
#include "TextConvert.h"

#include <QCommandLineParser>
#include <QCoreApplication>

namespace nodalyx {

bool serviceModeFromCommandLine(const QString& commandLine) {
    const QStringList words =
        (QStringLiteral("X ") + trimBlanks(commandLine)).split(QLatin1Char(' '));
    for (int i = 1; i <= 4 && i < words.size(); ++i) {
        if (words[i].toUpper().mid(1) == QLatin1String("S"))
            return true;
    }
    return false;
}

namespace {

// Single-dash words (-s, -S, -x) are service-mode words, not options: the parser gets them
// behind this mark, which keeps them positional and in their place, and loses it again.
const QString kWordMark = QStringLiteral("\x01");

bool isDashWord(const QString& word) {
    return word.startsWith(QLatin1Char('-')) && !word.startsWith(QLatin1String("--")) &&
           word != QLatin1String("-h") && word != QLatin1String("-v");
}

QString unmarked(const QString& word) {
    return word.startsWith(kWordMark) ? word.mid(1) : word;
}

struct Parser {
    Q_DECLARE_TR_FUNCTIONS(StartupOptions)

public:
    QCommandLineParser parser;
    QCommandLineOption dir{QStringLiteral("dir"), {}, QStringLiteral("DIR")};
    QCommandLineOption screenshot{QStringLiteral("screenshot"), {}, QStringLiteral("DIR")};
    QCommandLineOption help{{QStringLiteral("h"), QStringLiteral("help")}, {}};
    QCommandLineOption version{{QStringLiteral("v"), QStringLiteral("version")}, {}};

    Parser() {
        dir.setDescription(
            tr("The program directory that holds the locations, made when missing. Without it: "
               "the program's own directory when it holds location files (*.fgr), else the "
               "per-user data directory (~/.local/share/nodalyx on Linux)."));
        screenshot.setDescription(
            tr("Developer option: select the first location, run Refresh, save pictures of the "
               "windows into DIR and quit (messages go to stderr, questions are answered Yes)."));
        help.setDescription(tr("Show this help and quit."));
        version.setDescription(tr("Show the version and quit."));
        parser.setApplicationDescription(
            tr("The NVQ Nodalyx configuration tool: keeps the locations (sites) of counting\n"
               "dataloggers, reads and sets a logger's settings and clock, and reads its live\n"
               "counters over a serial port or TCP."));
        parser.addOptions({dir, screenshot, help, version});
        parser.addPositionalArgument(
            QStringLiteral("switches"),
            tr("Service mode: /S (or -s, xs: any word whose second character onward is S) "
               "among the first four switches shows the \"PCB test\" tab."),
            QStringLiteral("[/S]"));
    }
};

// "--dir" as the last word, or "--dir=" with nothing behind it.
QString missingValue(const QStringList& arguments, const QString& name) {
    const QString option = QStringLiteral("--") + name;
    const bool missing = (!arguments.isEmpty() && arguments.last() == option) ||
                         arguments.contains(option + QLatin1Char('='));
    return missing ? Parser::tr("%1 needs a directory").arg(option) : QString();
}

} // namespace

StartupOptions parseStartupOptions(const QStringList& arguments) {
    StartupOptions options;
    for (const char* name : {"dir", "screenshot"}) {
        options.error = missingValue(arguments, QLatin1String(name));
        if (!options.error.isEmpty())
            return options;
    }
    QStringList marked{QStringLiteral("nodalyx-config")};
    for (const QString& word : arguments)
        marked << (isDashWord(word) ? kWordMark + word : word);
    Parser p;
    if (!p.parser.parse(marked)) {
        const QStringList unknown = p.parser.unknownOptionNames();
        options.error = unknown.isEmpty()
                            ? p.parser.errorText()
                            : Parser::tr("unknown option '--%1'").arg(unknown.first());
        return options;
    }
    options.help = p.parser.isSet(p.help);
    options.version = p.parser.isSet(p.version);
    options.dir = unmarked(p.parser.value(p.dir));
    options.screenshotDir = unmarked(p.parser.value(p.screenshot));
    QStringList words;
    for (const QString& word : p.parser.positionalArguments())
        words << unmarked(word);
    options.serviceMode = serviceModeFromCommandLine(words.join(QLatin1Char(' ')));
    return options;
}

QString startupHelpText() {
    // The parser names the program as it was called (a path); the usage line names it plainly.
    const QString text = Parser().parser.helpText();
    return QStringLiteral("Usage: nodalyx-config [options] [/S]") + text.mid(text.indexOf('\n'));
}

} // namespace nodalyx
