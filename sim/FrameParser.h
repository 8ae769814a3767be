#pragma once

#include "LoggerCodes.h"

#include <QByteArray>
#include <QList>

namespace nodalyx::sim {

// Cuts what the tool sends out of a byte stream, telling the two kinds apart by their first
// byte: request frames (11 bytes starting FF FF) and file-transfer packets (starting 02, see
// SimPacket). Anything else in front is skipped, so the parser finds its way back after
// noise; a frame that starts FF FF FF with a bad checksum is taken to start one byte later,
// and a packet with a wrong CRC is counted and skipped from its start byte on.
class FrameParser {
public:
    static constexpr int kFrameSize = nodalyx::kFrameSize;

    // Adds received bytes; answers the complete frames and packets found, in order (a packet
    // is whole and its CRC is right).
    QList<QByteArray> feed(const QByteArray& bytes);
    void reset() { m_pending.clear(); }
    int skippedBytes() const { return m_skipped; }
    int badPackets() const { return m_badPackets; }

    // The checksum of a request or reply: XOR of all bytes but the first and the last, XOR 141.
    static quint8 checksum(const QByteArray& bytes);
    static bool checksumOk(const QByteArray& frame);

private:
    // Each answers how many bytes it took from the front (0: wait for more).
    qsizetype takeFrame(QList<QByteArray>& out);
    qsizetype takePacket(QList<QByteArray>& out);

    QByteArray m_pending;
    int m_skipped = 0;
    int m_badPackets = 0;
};

} // namespace nodalyx::sim
