#include "TrafficTrace.h"

#include "FileTransferLink.h"
#include "HighwayTraffic.h"
#include "Link.h"
#include "TrafficRecorder.h"
#include "TransferTraffic.h"

#include <QTextStream>

namespace nodalyx::cli {

namespace {

// A recorder owned by `owner` whose lines go to stderr.
TrafficRecorder& stderrRecorder(QObject& owner) {
    auto* recorder = new TrafficRecorder(&owner);
    QObject::connect(recorder, &TrafficRecorder::recorded, recorder, [](const TrafficEntry& entry) {
        QTextStream(stderr) << trafficLine(entry) << Qt::endl;
    });
    return *recorder;
}

} // namespace

void traceToStderr(Link& link) {
    stderrRecorder(link).watchLink(link);
}

void tracePacketsToStderr(FileTransferLink& transfer) {
    recordTransfer(transfer, stderrRecorder(transfer));
}

void traceHighwayTest(hw::HighwayTest& test) {
    hw::recordHighwayTest(test, stderrRecorder(test));
}

} // namespace nodalyx::cli
