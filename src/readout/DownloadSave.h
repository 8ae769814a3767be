#pragma once

#include "Operator.h"

#include <QByteArray>
#include <QString>

namespace nodalyx {

// The logger's text with every line feed made CR LF; carriage returns and every other byte
// stay as they are.
QByteArray withCrLf(const QByteArray& text);

// Incomplete: the text is not the size announced; Refused: the tool could not read the file
// back (larger than kMaxTextFileSize once its line ends are CR LF, or holding NUL bytes).
// Neither touches the file or its backup.
enum class SaveOutcome { Written, Incomplete, Refused, Failed };

// Writes a downloaded text to Filenaam when its length plus the two characters the download
// dropped is the size the logger announced: CR LF rebuilt, the previous file kept as .bak
// (HW01.ini -> HW01.bak), the new one replaced whole or not at all. A text of the wrong size
// is reported ("File not complete (Size = n)"), one the tool could not read back is reported
// with its size and the limit ("HW01.ini from the logger is 1999967 bytes; a highway file may
// hold at most 1048576 bytes."), and nothing is touched; a failed write is reported with its
// reason. *backupKept (when given) tells whether a previous file was kept.
SaveOutcome saveDownloadedFile(const QString& Filenaam, const QByteArray& Bestand,
                               qint32 ExpectedSize, Operator& op, bool* backupKept = nullptr);

// The backup beside a downloaded file: HW01.ini -> HW01.bak.
QString backupPath(const QString& path);

// The same, answered the old way: 0 when done or the text was refused (the size did not fit,
// the file would be too large), -1 when writing failed (or Filenaam is empty).
qint16 SaveLocalFile(const QString& Filenaam, const QByteArray& Bestand, qint32 ExpectedSize,
                     Operator& op);

} // namespace nodalyx
