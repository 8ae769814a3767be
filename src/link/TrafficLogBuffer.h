#pragma once

#include <QString>
#include <QStringList>
#include <deque>

namespace nodalyx {

// The lines of the communication log: the last `capacity` lines (10 000 by default), older
// ones dropped as new ones come. Pausing changes nothing of what is kept: lines go on being
// recorded and counted, so a view that stops showing while paused can say how many wait and
// show them on resume (at most the capacity: the oldest roll off meanwhile).
class TrafficLogBuffer {
public:
    static constexpr int kDefaultCapacity = 10000;

    explicit TrafficLogBuffer(int capacity = kDefaultCapacity);

    void append(const QString& line);
    void clear();

    int capacity() const { return m_capacity; }
    int size() const { return int(m_lines.size()); }
    QStringList lines() const;
    // Lines appended since the last clear, including those that rolled off; a view that has
    // shown `shown` of them asks linesAfter(shown) for the rest it still can.
    qint64 appended() const { return m_appended; }
    QStringList linesAfter(qint64 shown) const;

    void setPaused(bool paused);
    bool paused() const { return m_paused; }
    // Lines appended since the pause began (0 when not paused).
    qint64 heldBack() const { return m_paused ? m_appended - m_pausedAt : 0; }

    // Writes the lines as text, one per line, each ending in CR LF, through a save file (the
    // file is replaced whole or not at all). The lines are ASCII; written as UTF-8. False with
    // *error set when the file cannot be written.
    bool save(const QString& path, QString* error) const;

private:
    std::deque<QString> m_lines;
    int m_capacity;
    qint64 m_appended = 0;
    qint64 m_pausedAt = 0;
    bool m_paused = false;
};

} // namespace nodalyx
