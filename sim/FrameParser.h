#pragma once

#include "LoggerCodes.h"

#include <QByteArray>
#include <QList>

namespace nodalyx::sim {

// Cuts request frames out of a byte stream: a frame is 11 bytes starting with FF FF. Bytes in
// front of a sync pair are skipped, so the parser finds its way back after noise.
class FrameParser {
public:
    static constexpr int kFrameSize = nodalyx::kFrameSize;

    // Adds received bytes; answers the complete frames found, in order.
    QList<QByteArray> feed(const QByteArray& bytes);
    void reset() { m_pending.clear(); }
    int skippedBytes() const { return m_skipped; }

    // The checksum of a request or reply: XOR of all bytes but the first and the last, XOR 141.
    static quint8 checksum(const QByteArray& bytes);
    static bool checksumOk(const QByteArray& frame);

private:
    QByteArray m_pending;
    int m_skipped = 0;
};

} // namespace nodalyx::sim
