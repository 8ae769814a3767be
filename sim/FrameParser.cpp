#include "FrameParser.h"

#include "SimPacket.h"

namespace nodalyx::sim {

QList<QByteArray> FrameParser::feed(const QByteArray& bytes) {
    m_pending.append(bytes);
    QList<QByteArray> found;
    while (!m_pending.isEmpty()) {
        const quint8 first = quint8(m_pending.at(0));
        qsizetype taken = 1; // a byte that starts nothing is skipped
        if (first == kSync)
            taken = takeFrame(found);
        else if (first == SimPacket::kStart)
            taken = takePacket(found);
        else
            ++m_skipped;
        if (taken == 0)
            break;
        m_pending.remove(0, taken);
    }
    return found;
}

qsizetype FrameParser::takeFrame(QList<QByteArray>& out) {
    if (m_pending.size() < 2)
        return 0;
    if (quint8(m_pending.at(1)) != kSync) {
        ++m_skipped;
        return 1;
    }
    if (m_pending.size() < kFrameSize)
        return 0;
    const QByteArray frame = m_pending.left(kFrameSize);
    // FF FF FF with a bad checksum: the first FF was noise, the frame starts one later.
    if (quint8(frame.at(2)) == kSync && !checksumOk(frame)) {
        ++m_skipped;
        return 1;
    }
    out.append(frame);
    return kFrameSize;
}

qsizetype FrameParser::takePacket(QList<QByteArray>& out) {
    const qsizetype size = SimPacket::measure(m_pending);
    if (size == 0)
        return 0;
    SimPacket packet;
    if (size < 0 || !SimPacket::decode(QByteArrayView(m_pending).first(size), packet)) {
        // Not a packet after all, or damaged: look for the next start behind its first byte.
        ++(size < 0 ? m_skipped : m_badPackets);
        return 1;
    }
    out.append(m_pending.left(size));
    return size;
}

quint8 FrameParser::checksum(const QByteArray& bytes) {
    quint8 cs = kChecksumSeed;
    for (qsizetype i = 1; i + 1 < bytes.size(); ++i)
        cs ^= quint8(bytes.at(i));
    return cs;
}

bool FrameParser::checksumOk(const QByteArray& frame) {
    return frame.size() == kFrameSize && checksum(frame) == quint8(frame.back());
}

} // namespace nodalyx::sim
