#pragma once

#include <QDateTime>
#include <QString>

namespace nodalyx {
class FileTransferLink;
struct PacketTrace;
} // namespace nodalyx

namespace nodalyx::cli {

// One trace line of the file transfer: "hh:mm:ss.zzz -> packet code 11 number 0 L1 15 L2 0
// (27 bytes): CRC BFC3" for a packet sent, "<-" with the verdict for one received, and
// "<- 5 bytes: not a packet: skipped" for bytes that were none.
QString packetTraceLine(const QDateTime& when, const PacketTrace& line);

// Writes every packet the transfer sends and receives to stderr.
void tracePacketsToStderr(FileTransferLink& transfer);

} // namespace nodalyx::cli
