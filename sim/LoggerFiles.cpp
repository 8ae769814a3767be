#include "LoggerFiles.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSaveFile>

namespace nodalyx::sim {

QString LoggerFiles::localName(const QByteArray& remoteName) {
    static const QRegularExpression kRemote(
        QStringLiteral(R"(^c:\\nvq\\([A-Za-z0-9_-][A-Za-z0-9._-]{0,63})$)"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = kRemote.match(QString::fromLatin1(remoteName));
    return m.hasMatch() ? m.captured(1) : QString();
}

QString LoggerFiles::pathFor(const QString& name) const {
    if (m_folder.isEmpty() || name.isEmpty())
        return {};
    const QDir dir(m_folder);
    for (const QString& entry : dir.entryList(QDir::Files)) {
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return dir.filePath(entry);
    }
    return dir.filePath(name);
}

bool LoggerFiles::read(const QByteArray& remoteName, QByteArray& text) const {
    QFile file(pathFor(localName(remoteName)));
    if (file.fileName().isEmpty() || !file.exists() || file.size() > kMaxFileSize ||
        !file.open(QIODevice::ReadOnly))
        return false;
    text = file.readAll().replace("\r\n", "\n");
    return true;
}

bool LoggerFiles::write(const QByteArray& remoteName, const QByteArray& text) const {
    const QString path = pathFor(localName(remoteName));
    if (path.isEmpty())
        return false;
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(text) == text.size() && file.commit();
}

} // namespace nodalyx::sim
