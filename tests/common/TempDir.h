#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

namespace nodalyx::test {

// A fresh program directory for one test, removed afterwards.
class TempDir {
public:
    TempDir();
    QString path() const { return m_dir.path(); }
    QString file(const QString& relative) const;
    // Writes bytes to a file below the directory, creating folders on the way.
    void write(const QString& relative, const QByteArray& bytes) const;
    QByteArray read(const QString& relative) const;
    bool exists(const QString& relative) const;

private:
    QTemporaryDir m_dir;
};

// "41 42\n0D0A" -> "AB\r\n": hex fixtures with blanks and line breaks for readability.
QByteArray fromHex(const char* hex);

} // namespace nodalyx::test
