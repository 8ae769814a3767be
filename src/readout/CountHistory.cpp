#include "CountHistory.h"

#include <algorithm>

namespace nodalyx {

void CountHistory::add(const MonitorRead& read) {
    const qint64 msecs = read.time.toMSecsSinceEpoch();
    if (msecs < m_latest)
        return; // out of order: the points of a channel stay sorted by time
    m_latest = msecs;
    for (const MonitorRow& row : read.rows) {
        Channel& channel = m_channels[ChannelKey{row.highway, row.address, row.channel}];
        channel.location = row.location;
        channel.points.push_back(CountPoint{msecs, row.inChange, row.outChange});
    }
    for (auto& [key, channel] : m_channels)
        trim(channel);
}

// Drops the points that left the window and those beyond the limit of a channel.
void CountHistory::trim(Channel& channel) const {
    const qint64 oldest = m_latest - m_windowMs;
    auto& points = channel.points;
    while (!points.empty() &&
           (points.front().msecs < oldest || qsizetype(points.size()) > kMaxPointsPerChannel))
        points.pop_front();
}

void CountHistory::clear() {
    m_channels.clear();
    m_latest = 0;
}

QList<SeenChannel> CountHistory::channels() const {
    QList<SeenChannel> seen;
    seen.reserve(qsizetype(m_channels.size()));
    for (const auto& [key, channel] : m_channels)
        seen << SeenChannel{key, channel.location};
    return seen;
}

const std::deque<CountPoint>& CountHistory::points(const ChannelKey& key) const {
    static const std::deque<CountPoint> none;
    const auto it = m_channels.find(key);
    return it == m_channels.end() ? none : it->second.points;
}

QList<CountPoint> CountHistory::pointsSince(const ChannelKey& key, qint64 fromMsecs) const {
    const std::deque<CountPoint>& all = points(key);
    const auto first =
        std::lower_bound(all.begin(), all.end(), fromMsecs,
                         [](const CountPoint& p, qint64 msecs) { return p.msecs < msecs; });
    return QList<CountPoint>(first, all.end());
}

} // namespace nodalyx
