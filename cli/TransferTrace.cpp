#include "TransferTrace.h"

#include "FileTransferLink.h"

#include <QTextStream>

namespace nodalyx::cli {

QString packetTraceLine(const QDateTime& when, const PacketTrace& line) {
    QString text = when.toString(QStringLiteral("HH:mm:ss.zzz")) +
                   (line.sent ? QStringLiteral(" -> ") : QStringLiteral(" <- "));
    if (!line.packet)
        return text + QStringLiteral("%1 bytes: %2").arg(line.bytes).arg(line.verdict);
    return text + QStringLiteral("packet code %1 number %2 L1 %3 L2 %4 (%5 bytes): %6")
                      .arg(line.code)
                      .arg(line.number)
                      .arg(line.length1)
                      .arg(line.length2)
                      .arg(line.bytes)
                      .arg(line.verdict);
}

void tracePacketsToStderr(FileTransferLink& transfer) {
    QObject::connect(&transfer, &FileTransferLink::traced, &transfer, [](const PacketTrace& line) {
        QTextStream(stderr) << packetTraceLine(QDateTime::currentDateTime(), line) << Qt::endl;
    });
}

} // namespace nodalyx::cli
