#pragma once

#include "CounterMonitor.h"

#include <QFile>
#include <QString>

namespace nodalyx {

// The record of a monitoring run: a CSV file (Windows-1252, CR LF, as the tool's other files)
// with the header line and one line per unit channel of every read, flushed after each read so
// that a crash loses at most the read under way.
//
// A file that is already a count record (its first line is the header) is continued; an empty
// or missing one is started; a file holding anything else is refused, so no other file is
// ever overwritten.
class CountRecord {
public:
    enum class Error { None, NotARecord, OpenFailed, WriteFailed };

    bool open(const QString& path);
    // Writes the read's rows (nothing for a read without rows) and flushes them.
    bool write(const MonitorRead& read);
    void close();
    bool isOpen() const { return m_file.isOpen(); }
    QString path() const { return m_file.fileName(); }
    qint64 rowsWritten() const { return m_rows; }

    Error error() const { return m_error; }
    // What went wrong, naming the file.
    QString errorString() const;

private:
    bool fail(Error error);

    QFile m_file;
    Error m_error = Error::None;
    QString m_reason;
    qint64 m_rows = 0;
};

} // namespace nodalyx
