#include "StartupOptions.h"
#include "TextConvert.h"

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

// Takes "--name VALUE" or "--name=VALUE" at position i out of args; answers false when
// args[i] is not that option.
bool takeOption(QStringList& args, int i, const QString& name, QString& value, QString& error) {
    const QString& word = args[i];
    if (word.startsWith(name + QLatin1Char('='))) {
        value = word.mid(name.size() + 1);
        args.removeAt(i);
        return true;
    }
    if (word != name)
        return false;
    if (i + 1 >= args.size()) {
        error = name + QStringLiteral(" needs a directory");
        args.removeAt(i);
        return true;
    }
    value = args[i + 1];
    args.remove(i, 2);
    return true;
}

} // namespace

StartupOptions parseStartupOptions(const QStringList& arguments) {
    StartupOptions options;
    QStringList rest = arguments;
    for (int i = 0; i < rest.size();) {
        if (!takeOption(rest, i, QStringLiteral("--dir"), options.dir, options.error) &&
            !takeOption(rest, i, QStringLiteral("--screenshot"), options.screenshotDir,
                        options.error))
            ++i;
    }
    options.serviceMode = serviceModeFromCommandLine(rest.join(QLatin1Char(' ')));
    return options;
}

} // namespace nodalyx
