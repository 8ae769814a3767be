#pragma once

#include "TransferPacket.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace nodalyx {

// Finds the reply to a request among the bytes that arrive. Pure: it is fed bytes and asked
// for the reply numbered like the request; the component feeds it and runs the wait.
//
// Bytes that are not a packet are skipped; a packet with a wrong CRC is never taken as data;
// a valid packet with another number (a late answer to an earlier try) is dropped. Input is
// bounded: the buffer never holds more than one packet of the largest size.
class PacketReader {
public:
    // One thing the reader saw, for the trace.
    struct Seen {
        enum class Verdict { Taken, Dropped, BadCrc, Noise };
        Verdict verdict = Verdict::Noise;
        TransferPacket packet; // Taken, Dropped, BadCrc
        qsizetype bytes = 0;   // the packet's size, or the count of noise bytes
        QByteArray raw;        // those bytes as they came
    };

    struct Result {
        enum class Outcome { None, Reply, BadCrc };
        Outcome outcome = Outcome::None;
        TransferPacket packet; // Reply
    };

    void feed(QByteArrayView bytes);
    void clear();
    bool isEmpty() const { return m_buffer.isEmpty(); }
    qsizetype size() const { return m_buffer.size(); }

    // The reply numbered `number`, when a whole one is in. BadCrc when a whole packet of that
    // number came with a wrong CRC (it is consumed: the request may be tried again at once).
    // None while nothing of the kind is complete yet.
    Result take(quint32 number);

    // Before a new request: drops everything but whole, valid packets (a late answer may still
    // be of use to a repeated request), so the rest of a broken answer cannot linger.
    void keepWholePackets();

    // What was seen since the last call, in order.
    QList<Seen> takeSeen();

private:
    void consume(qsizetype count);
    void noteNoise(QByteArrayView bytes);

    QByteArray m_buffer;
    QList<Seen> m_seen;
};

QString verdictText(PacketReader::Seen::Verdict verdict);

} // namespace nodalyx
