#pragma once

#include <QByteArray>
#include <QString>

namespace nodalyx {

// Location and highway files are small text files; anything larger, or holding NUL bytes,
// is not one of them. The highway-file download holds to the same limit (the size the logger
// announces, the text collected, the file written), so it never writes a file that is then
// refused.
inline constexpr qint64 kMaxTextFileSize = 1024 * 1024;

// Reads the whole file. Empty when it worked, else the full message for the operator:
// Cannot read "<path>": <why>.
QString readTextFile(const QString& path, QByteArray& bytes);

// Copies path to backupPath, replacing an older backup whole or not at all. When there is no
// file yet the older backup is left alone; a failed copy is ignored. True when the backup now
// holds the file.
bool keepBackup(const QString& path, const QString& backupPath);

// Replaces the file whole or not at all. Empty when it worked, else the full message:
// Cannot write "<path>": <why>.
QString saveTextFile(const QString& path, const QByteArray& bytes);

// "<path>" line <n>: <reason>.
QString lineMessage(const QString& path, int line, const QString& reason);

} // namespace nodalyx
