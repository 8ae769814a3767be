#include "TempDir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <stdexcept>

namespace nodalyx::test {

TempDir::TempDir() {
    if (!m_dir.isValid())
        throw std::runtime_error("cannot create a temporary directory");
}

QString TempDir::file(const QString& relative) const {
    return m_dir.filePath(relative);
}

void TempDir::write(const QString& relative, const QByteArray& bytes) const {
    const QString path = file(relative);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        throw std::runtime_error("cannot write test file " + path.toStdString());
}

QByteArray TempDir::read(const QString& relative) const {
    QFile f(file(relative));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

bool TempDir::exists(const QString& relative) const {
    return QFileInfo::exists(file(relative));
}

QByteArray fromHex(const char* hex) {
    QByteArray digits(hex);
    digits.replace(' ', "").replace('\n', "");
    return QByteArray::fromHex(digits);
}

} // namespace nodalyx::test
