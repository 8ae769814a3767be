#pragma once

#include "TrafficLog.h"

namespace nodalyx {

class FileTransferLink;
class TrafficRecorder;
struct PacketTrace;

// The log entry of one packet trace line: the name "code 11 number 0 L1 15 L2 0" (or
// "5 bytes" for bytes that were no packet), the verdict ("CRC BFC3" for a packet sent, "CRC
// ok", "not a packet: skipped", ...) and the packet's bytes.
TrafficEntry transferEntry(const PacketTrace& trace);

// Records every packet the transfer sends and receives, until either goes.
void recordTransfer(FileTransferLink& transfer, TrafficRecorder& recorder);

} // namespace nodalyx
