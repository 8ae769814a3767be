#include "TextFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace nodalyx {

namespace {

QString cannotRead(const QString& path, const QString& why) {
    return QStringLiteral("Cannot read \"%1\": %2.").arg(path, why);
}

QString cannotWrite(const QString& path, const QString& why) {
    return QStringLiteral("Cannot write \"%1\": %2.").arg(path, why);
}

// Why path cannot be read as a text file, checked before it is opened (a pipe or a
// device would never end).
QString unreadableReason(const QFileInfo& info) {
    if (!info.exists())
        return QStringLiteral("the file does not exist");
    if (info.isDir())
        return QStringLiteral("it is a folder, not a file");
    if (!info.isFile())
        return QStringLiteral("it is not a regular file");
    if (info.size() > kMaxTextFileSize)
        return QStringLiteral("the file is larger than 1 MiB, so it is not a configuration file");
    return {};
}

} // namespace

QString readTextFile(const QString& path, QByteArray& bytes) {
    const QString reason = unreadableReason(QFileInfo(path));
    if (!reason.isEmpty())
        return cannotRead(path, reason);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return cannotRead(path, file.errorString());
    QByteArray content = file.read(kMaxTextFileSize + 1);
    if (file.error() != QFileDevice::NoError)
        return cannotRead(path, file.errorString());
    if (content.size() > kMaxTextFileSize)
        return cannotRead(path, QStringLiteral("the file is larger than 1 MiB"));
    if (content.contains('\0'))
        return cannotRead(path, QStringLiteral("the file is not text (it holds NUL bytes)"));
    bytes = content;
    return {};
}

bool keepBackup(const QString& path, const QString& backupPath) {
    if (!QFileInfo(path).isFile())
        return false; // nothing to keep: the older backup stays
    // Through a temporary file and a rename, like every save: a program killed halfway leaves
    // the older backup whole, never a half copy or none.
    QFile source(path);
    if (!source.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = source.readAll();
    if (source.error() != QFileDevice::NoError)
        return false;
    QSaveFile backup(backupPath);
    return backup.open(QIODevice::WriteOnly) && backup.write(bytes) == bytes.size() &&
           backup.commit();
}

QString saveTextFile(const QString& path, const QByteArray& bytes) {
    if (QFileInfo(path).isDir())
        return cannotWrite(path, QStringLiteral("a folder of that name is in the way"));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return cannotWrite(path, file.errorString());
    if (file.write(bytes) != bytes.size() || !file.commit())
        return cannotWrite(path, file.errorString());
    return {};
}

QString lineMessage(const QString& path, int line, const QString& reason) {
    return QStringLiteral("\"%1\" line %2: %3.").arg(path, QString::number(line), reason);
}

} // namespace nodalyx
