#pragma once

#include "TrafficLog.h"

#include <QDateTime>
#include <QObject>
#include <functional>

namespace nodalyx {

class Link;

// Where the traffic of a link, a file transfer and a highway test becomes log entries: the
// adapters (watchLink here, recordTransfer in transfer/, recordHighwayTest in src/hwtest)
// hand it entries, it stamps the time and passes each on through recorded(). The log window
// and --trace both listen to one, so they show the same lines.
class TrafficRecorder : public QObject {
    Q_OBJECT
public:
    explicit TrafficRecorder(QObject* parent = nullptr);

    // The clock that stamps entries (tests set a fixed one).
    void setClock(std::function<QDateTime()> clock) { m_clock = std::move(clock); }

    // Stamps the entry with the time when it has none, then emits it.
    void record(TrafficEntry entry);

    // Every request frame the link sends, with its command's name, then the bytes received
    // for it, gathered, with the verdict of the wait (ACK, NAK, reply ok, checksum bad, no
    // answer, ...), and a note for each piece of input the link dropped. Until the link or
    // this recorder goes.
    void watchLink(Link& link);

signals:
    void recorded(const nodalyx::TrafficEntry& entry);

private:
    std::function<QDateTime()> m_clock;
};

} // namespace nodalyx
