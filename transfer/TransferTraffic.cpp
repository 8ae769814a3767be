#include "TransferTraffic.h"

#include "FileTransferLink.h"
#include "TrafficRecorder.h"

namespace nodalyx {

TrafficEntry transferEntry(const PacketTrace& trace) {
    TrafficEntry entry;
    entry.source = TrafficSource::Transfer;
    entry.direction = trace.sent ? TrafficDirection::Sent : TrafficDirection::Received;
    entry.bytes = trace.raw;
    entry.verdict = trace.verdict;
    entry.name = trace.packet ? QStringLiteral("code %1 number %2 L1 %3 L2 %4")
                                    .arg(trace.code)
                                    .arg(trace.number)
                                    .arg(trace.length1)
                                    .arg(trace.length2)
                              : QStringLiteral("%1 bytes").arg(trace.bytes);
    return entry;
}

void recordTransfer(FileTransferLink& transfer, TrafficRecorder& recorder) {
    QObject::connect(
        &transfer, &FileTransferLink::traced, &recorder,
        [&recorder](const PacketTrace& trace) { recorder.record(transferEntry(trace)); });
}

} // namespace nodalyx
