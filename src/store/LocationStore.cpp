#include "LocationStore.h"

#include "LocationFileCodec.h"
#include "TextFile.h"
#include "TextMatch.h"

#include <QDateTime>
#include <QDir>
#include <QFile>

namespace nodalyx {

namespace {

const int kMaxNameLength = 100;
const char* const kDefaultLocation = "Configuration 01.fgr";

QString inProgramDir(const QString& programDir, const QString& fileName) {
    return programDir + QLatin1Char('/') + fileName;
}

// Windows gives these names to devices, with or without an extension.
bool isDeviceName(const QString& name) {
    const QString base = name.section(QLatin1Char('.'), 0, 0).trimmed().toUpper();
    for (const char* device : {"CON", "PRN", "AUX", "NUL"})
        if (base == QLatin1String(device))
            return true;
    for (const char* numbered : {"COM", "LPT"})
        if (const auto n = numberBetween(base, QLatin1String(numbered), {}, Qt::CaseSensitive, 1))
            return *n >= 1;
    return false;
}

// Control characters: C0 (below 32), DEL and the C1 range U+0080..U+009F, which a terminal
// may take as the start of an escape sequence when a listing prints the name.
bool isControlCharacter(QChar c) {
    const char16_t code = c.unicode();
    return code < 32 || (code >= 0x7F && code <= 0x9F);
}

// The name as a message shows it: a control character as \xNN, so that it is seen and never
// acted on by a terminal.
QString visibleName(const QString& name) {
    QString shown;
    for (const QChar c : name) {
        if (isControlCharacter(c))
            shown += QStringLiteral("\\x%1").arg(int(c.unicode()), 2, 16, QLatin1Char('0'));
        else
            shown += c;
    }
    return shown;
}

bool hasRefusedCharacter(const QString& name) {
    static const QString refused = QStringLiteral("<>:\"|?*");
    for (const QChar c : name) {
        if (isControlCharacter(c) || refused.contains(c))
            return true;
    }
    return false;
}

QStringList listLocationFiles(const QString& programDir) {
    QDir::Filters filters = QDir::Files;
#ifndef Q_OS_WIN
    filters |= QDir::CaseSensitive;
#endif
    return QDir(programDir)
        .entryList({QStringLiteral("*.fgr")}, filters, QDir::Name | QDir::IgnoreCase);
}

// A file name "<location>.fgr" is checked as the location name it carries.
QString checkFileName(const QString& fileName) {
    const QLatin1String extension(".fgr");
    const bool named =
        fileName.endsWith(extension, Qt::CaseInsensitive) && fileName.size() > extension.size();
    return checkLocationName(named ? fileName.chopped(extension.size()) : fileName);
}

// Reports the failure of a read that stopped at a line.
void reportLineFailure(const QString& path, const ReadFailure& failure, Operator& op) {
    op.message(lineMessage(path, failure.line, failure.reason), Operator::Icon::Critical);
}

} // namespace

QString checkLocationName(const QString& name) {
    if (name.trimmed().isEmpty())
        return QStringLiteral("No name found");
    const QString quoted = QLatin1Char('"') + visibleName(name) + QLatin1Char('"');
    if (name.size() > kMaxNameLength)
        return QStringLiteral("The name %1 is too long: at most %2 characters.")
            .arg(quoted, QString::number(kMaxNameLength));
    if (name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\\')))
        return QStringLiteral("The name %1 cannot hold \"/\" or \"\\\".").arg(quoted);
    if (name == QLatin1String(".") || name == QLatin1String(".."))
        return QStringLiteral("The name %1 is not a file name.").arg(quoted);
    if (hasRefusedCharacter(name))
        return QStringLiteral("The name %1 cannot hold control characters or any of < > : \" | "
                              "? *.")
            .arg(quoted);
    if (isDeviceName(name))
        return QStringLiteral("The name %1 is reserved for a device on Windows.").arg(quoted);
    if (name.endsWith(QLatin1Char('.')))
        return QStringLiteral("The name %1 cannot end in \".\".").arg(quoted);
    // Windows drops a trailing blank from a folder name: the location's folder would not be
    // the one its name says. Leading and inner blanks are kept as typed.
    if (name.endsWith(QLatin1Char(' ')))
        return QStringLiteral("The name %1 cannot end in a blank.").arg(quoted);
    return {};
}

bool ReadFGR(SharedState& state, const QString& fileName, Operator& op) {
    const QString refusal = checkFileName(fileName);
    if (!refusal.isEmpty()) {
        op.message(refusal, Operator::Icon::Critical);
        return true;
    }
    const QString path = inProgramDir(state.programDir, fileName);
    QByteArray bytes;
    const QString error = readTextFile(path, bytes);
    if (!error.isEmpty()) {
        op.message(error, Operator::Icon::Critical);
        return true;
    }
    const LocationReadResult result = decodeLocationFile(bytes, state.settings);
    if (result.failure)
        reportLineFailure(path, *result.failure, op);
    return result.headerOk;
}

bool WriteFGR(SharedState& state, const QString& name, Operator& op) {
    const QString refusal = checkLocationName(name);
    if (!refusal.isEmpty()) {
        op.message(refusal, Operator::Icon::Critical);
        return false;
    }
    BusyGuard busy(op);
    const QString path = inProgramDir(state.programDir, name + QLatin1String(".fgr"));
    const QByteArray bytes =
        encodeLocationFile(state.settings, locationHeader(name, QDateTime::currentDateTime()));
    keepBackup(path, inProgramDir(state.programDir, name + QLatin1String(".bak")));
    const QString error = saveTextFile(path, bytes);
    if (error.isEmpty())
        return true;
    busy.release();
    op.message(error, Operator::Icon::Critical);
    return false;
}

QStringList GetFGR(const QString& programDir, Operator& op) {
    QStringList names = ListFGR(programDir);
    if (names.isEmpty() && MakeNewFile(programDir, QLatin1String(kDefaultLocation), op)) {
        names = ListFGR(programDir);
        if (names.isEmpty())
            op.message(QStringLiteral("No location file can be listed in \"%1\".").arg(programDir),
                       Operator::Icon::Critical);
    }
    return names;
}

QStringList ListFGR(const QString& programDir) {
    QStringList files = listLocationFiles(programDir);
    for (QString& file : files)
        file.chop(4);
    return files;
}

bool MakeNewFile(const QString& programDir, const QString& fileName, Operator& op) {
    const QString refusal = checkFileName(fileName);
    if (!refusal.isEmpty()) {
        op.message(refusal, Operator::Icon::Critical);
        return false;
    }
    const QString path = inProgramDir(programDir, fileName);
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return true;
    op.message(QStringLiteral("Cannot create \"%1\": %2.").arg(path, file.errorString()),
               Operator::Icon::Critical);
    return false;
}

} // namespace nodalyx
