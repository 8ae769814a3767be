#pragma once

#include "CounterMonitor.h"

#include <QList>
#include <QString>
#include <compare>
#include <deque>
#include <map>

namespace nodalyx {

// One unit channel while monitoring: highway 1 or 2, bus address 0..63, channel 1 or 2.
struct ChannelKey {
    int highway = 1;
    int address = 0;
    int channel = 1;
    auto operator<=>(const ChannelKey&) const = default;
};

// A point of a channel's history: when the read began (ms since the epoch, UTC) and what the
// channel counted in and out since monitoring started (the changes: they grow across the
// counters' wrap and start at 0 for every channel, so channels compare on one scale).
struct CountPoint {
    qint64 msecs = 0;
    qint64 in = 0;
    qint64 out = 0;
    bool operator==(const CountPoint&) const = default;
};

// A unit channel that monitoring has seen, with the location text of its latest row.
struct SeenChannel {
    ChannelKey key;
    QString location;
};

// The counts of the monitored unit channels over a window of time, fed read by read.
//
// Points older than the window, measured back from the newest read, are dropped as reads come
// in. A channel also keeps at most kMaxPointsPerChannel points (its oldest go first), so the
// memory stays bounded whatever the interval: 256 channels read every second for a 2-hour
// window hold 256 x 7 200 points of 24 bytes, about 44 MB, at most.
class CountHistory {
public:
    static constexpr qint64 kDefaultWindowMs = 2 * 60 * 60 * 1000;
    static constexpr qsizetype kMaxPointsPerChannel = 7200;

    explicit CountHistory(qint64 windowMs = kDefaultWindowMs) : m_windowMs(windowMs) {}

    // Adds a point for every row of the read (the highways that answered) and drops what has
    // left the window. A read older than the newest one already added is ignored.
    void add(const MonitorRead& read);
    // Forgets every channel and point (monitoring started again).
    void clear();

    qint64 windowMs() const { return m_windowMs; }
    // The time of the newest read added (ms since the epoch); 0 before any.
    qint64 latestMsecs() const { return m_latest; }

    // Every channel seen since the last clear(), by highway, address and channel.
    QList<SeenChannel> channels() const;
    bool contains(const ChannelKey& key) const { return m_channels.count(key) > 0; }
    // The points of a channel, oldest first (empty when it was never seen).
    const std::deque<CountPoint>& points(const ChannelKey& key) const;
    // The points of a channel at or after fromMsecs.
    QList<CountPoint> pointsSince(const ChannelKey& key, qint64 fromMsecs) const;

private:
    struct Channel {
        QString location;
        std::deque<CountPoint> points;
    };
    void trim(Channel& channel) const;

    qint64 m_windowMs;
    qint64 m_latest = 0;
    std::map<ChannelKey, Channel> m_channels;
};

} // namespace nodalyx
