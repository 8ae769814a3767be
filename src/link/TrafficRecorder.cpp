#include "TrafficRecorder.h"

#include "Link.h"
#include "TrafficGatherer.h"

#include <memory>

namespace nodalyx {

TrafficRecorder::TrafficRecorder(QObject* parent)
    : QObject(parent), m_clock([] { return QDateTime::currentDateTime(); }) {}

void TrafficRecorder::record(TrafficEntry entry) {
    if (!entry.time.isValid())
        entry.time = m_clock();
    emit recorded(entry);
}

void TrafficRecorder::watchLink(Link& link) {
    // The gatherer lives as long as the connections, which end with the link or this recorder.
    auto gatherer = std::make_shared<TrafficGatherer>(TrafficSource::Link);
    connect(&link, &Link::traffic, this, [this, gatherer](bool sent, const QByteArray& bytes) {
        if (!sent) {
            gatherer->received(bytes);
            return;
        }
        for (const TrafficEntry& entry : gatherer->sent(bytes, frameCommandName(bytes)))
            record(entry);
    });
    connect(&link, &Link::exchangeEnded, this, [this, gatherer](ExchangeOutcome outcome) {
        record(gatherer->ended(exchangeOutcomeText(outcome)));
    });
    connect(&link, &Link::inputDropped, this, [this, gatherer](qint64 count, const QString& why) {
        record(gatherer->note(QStringLiteral("dropped %1 bytes (%2)").arg(count).arg(why)));
    });
}

} // namespace nodalyx
