#include "ProgramDir.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>

namespace nodalyx {

namespace {

bool holdsLocationFiles(const QString& dir) {
    QDir::Filters filters = QDir::Files;
#ifndef Q_OS_WIN
    filters |= QDir::CaseSensitive; // the listing takes exactly "*.fgr" there too
#endif
    return !dir.isEmpty() && !QDir(dir).entryList({QStringLiteral("*.fgr")}, filters).isEmpty();
}

QString made(const QString& dir) {
    const QString path = QDir(dir).absolutePath();
    QDir().mkpath(path);
    return QDir::cleanPath(path);
}

} // namespace

QString userDataDir() {
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return base.isEmpty() ? QString() : base + QStringLiteral("/nodalyx");
}

QString resolveProgramDir(const QString& dirOption, const QString& exeDir,
                          const QString& userDataDir) {
    if (!dirOption.isEmpty())
        return made(dirOption);
    if (holdsLocationFiles(exeDir))
        return QDir::cleanPath(QDir(exeDir).absolutePath());
    // No home directory to take the data location from: the working directory, never "/".
    return made(userDataDir.isEmpty() ? QDir::currentPath() : userDataDir);
}

QString resolveProgramDir(const QString& dirOption) {
    return resolveProgramDir(dirOption, QCoreApplication::applicationDirPath(), userDataDir());
}

} // namespace nodalyx
