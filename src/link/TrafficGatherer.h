#pragma once

#include "TrafficLog.h"

#include <QList>

namespace nodalyx {

// Turns one source's request/answer traffic into log entries. Pure: it is told what was sent,
// what arrived and how the wait for the answer ended, and answers the entries (without time).
// The pieces that arrive for one exchange are gathered into one entry carrying the wait's
// verdict; bytes that no wait took (a late answer) come out before the next request or at
// flush(), with the verdict "not awaited".
class TrafficGatherer {
public:
    explicit TrafficGatherer(TrafficSource source) : m_source(source) {}

    // A request named `name` goes out: what was left over, then the request.
    QList<TrafficEntry> sent(const QByteArray& frame, const QString& name);
    void received(const QByteArray& bytes) { m_bytes += bytes; }
    // The wait for the answer to the last request ended: what arrived meanwhile (nothing
    // after "<-" when nothing did), with the verdict.
    TrafficEntry ended(const QString& verdict);
    // A note without bytes: "dropped 3 bytes (stale)".
    TrafficEntry note(const QString& text) const;
    // Bytes that arrived and no wait took; empty when there are none.
    QList<TrafficEntry> flush();

private:
    TrafficEntry entry(TrafficDirection direction, const QByteArray& bytes,
                       const QString& verdict) const;

    TrafficSource m_source;
    QString m_name; // the request the answers belong to
    QByteArray m_bytes;
};

} // namespace nodalyx
