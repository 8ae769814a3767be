#include "CountRecord.h"

#include "Windows1252.h"

#include <QCoreApplication>
#include <QDir>

namespace nodalyx {

namespace {

struct RecordText {
    Q_DECLARE_TR_FUNCTIONS(CountRecord)
};

const QByteArray kLineEnd = QByteArrayLiteral("\r\n");

// Empty, or its first line the header: a file that may be continued.
bool isRecordOrEmpty(QFile& file) {
    if (file.size() == 0)
        return true;
    const QByteArray first = file.readLine(512).trimmed();
    return first == encodeWindows1252(monitorCsvHeader());
}

} // namespace

bool CountRecord::open(const QString& path) {
    close();
    m_rows = 0;
    m_file.setFileName(path);
    if (!m_file.open(QIODevice::ReadWrite)) {
        m_reason = m_file.errorString();
        return fail(Error::OpenFailed);
    }
    if (!isRecordOrEmpty(m_file)) {
        m_file.close();
        return fail(Error::NotARecord);
    }
    // A new file starts with the header; one whose last line was cut short (a crash while it
    // was written) gets its line ended, so the next row starts a line of its own.
    QByteArray start;
    if (m_file.size() == 0) {
        start = encodeWindows1252(monitorCsvHeader()) + kLineEnd;
    } else {
        m_file.seek(m_file.size() - 1);
        if (m_file.read(1) != "\n")
            start = kLineEnd;
    }
    m_file.seek(m_file.size());
    if (!start.isEmpty() && (m_file.write(start) != start.size() || !m_file.flush())) {
        m_reason = m_file.errorString();
        m_file.close();
        return fail(Error::WriteFailed);
    }
    m_error = Error::None;
    return true;
}

bool CountRecord::write(const MonitorRead& read) {
    if (!m_file.isOpen())
        return fail(Error::WriteFailed);
    QByteArray bytes;
    for (const MonitorRow& row : read.rows)
        bytes += encodeWindows1252(monitorCsvLine(row)) + kLineEnd;
    if (m_file.write(bytes) != bytes.size() || !m_file.flush()) {
        m_reason = m_file.errorString();
        return fail(Error::WriteFailed);
    }
    m_rows += read.rows.size();
    return true;
}

void CountRecord::close() {
    if (m_file.isOpen())
        m_file.close();
}

bool CountRecord::fail(Error error) {
    m_error = error;
    return false;
}

QString CountRecord::errorString() const {
    const QString file = QDir::toNativeSeparators(m_file.fileName());
    switch (m_error) {
    case Error::None:
        return {};
    case Error::NotARecord:
        return RecordText::tr("%1 holds something else than a count record; it was left as it is. "
                              "Choose another file.")
            .arg(file);
    case Error::OpenFailed:
        return RecordText::tr("%1 cannot be opened for the record: %2").arg(file, m_reason);
    case Error::WriteFailed:
        return RecordText::tr("The count record %1 cannot be written: %2").arg(file, m_reason);
    }
    return {};
}

} // namespace nodalyx
