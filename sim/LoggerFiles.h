#pragma once

#include <QByteArray>
#include <QString>

namespace nodalyx::sim {

// The logger's file store: the files of its folder C:\nvq\, kept on the PC in a folder of
// our choice. The logger keeps a text with LF line ends; a file put there by hand with CR LF
// is read as the same text.
class LoggerFiles {
public:
    static constexpr qint64 kMaxFileSize = 1024 * 1024;

    void setFolder(const QString& folder) { m_folder = folder; }
    QString folder() const { return m_folder; }

    // The bare file name of a remote name such as "C:\nvq\HW01.ini" (any case): empty when it
    // is not in C:\nvq\ or not a plain file name.
    static QString localName(const QByteArray& remoteName);

    // The text of the file the remote name names, matched without regard to case; false when
    // there is no such file (or it cannot be read).
    bool read(const QByteArray& remoteName, QByteArray& text) const;
    // Replaces the file whole, keeping the case of an existing file's name; false on failure.
    bool write(const QByteArray& remoteName, const QByteArray& text) const;

private:
    QString pathFor(const QString& name) const;

    QString m_folder;
};

} // namespace nodalyx::sim
