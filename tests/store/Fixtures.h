#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

// The hand-written files below tests/store/data (Windows-1252, CR LF).
inline QByteArray fixture(const char* relative) {
    QFile file(QStringLiteral(NODALYX_TEST_DATA "/") + QLatin1String(relative));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
