#include "TrafficGatherer.h"

#include <utility>

namespace nodalyx {

TrafficEntry TrafficGatherer::entry(TrafficDirection direction, const QByteArray& bytes,
                                    const QString& verdict) const {
    return {QDateTime(), m_source, direction, bytes, m_name, verdict};
}

QList<TrafficEntry> TrafficGatherer::sent(const QByteArray& frame, const QString& name) {
    QList<TrafficEntry> entries = flush();
    m_name = name;
    entries.append(entry(TrafficDirection::Sent, frame, {}));
    return entries;
}

TrafficEntry TrafficGatherer::ended(const QString& verdict) {
    return entry(TrafficDirection::Received, std::exchange(m_bytes, {}), verdict);
}

TrafficEntry TrafficGatherer::note(const QString& text) const {
    return {QDateTime(), m_source, TrafficDirection::Note, {}, {}, text};
}

QList<TrafficEntry> TrafficGatherer::flush() {
    if (m_bytes.isEmpty())
        return {};
    return {entry(TrafficDirection::Received, std::exchange(m_bytes, {}),
                  QStringLiteral("not awaited"))};
}

} // namespace nodalyx
