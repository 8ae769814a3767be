#include "FrameParser.h"

namespace nodalyx::sim {

namespace {
const QByteArray kSyncPair("\xFF\xFF", 2);
}

QList<QByteArray> FrameParser::feed(const QByteArray& bytes) {
    m_pending.append(bytes);
    QList<QByteArray> frames;
    for (;;) {
        const qsizetype sync = m_pending.indexOf(kSyncPair);
        if (sync < 0) {
            // Keep a trailing FF: it may be the first half of the next sync pair.
            const bool keepLast = m_pending.endsWith('\xFF');
            m_skipped += int(m_pending.size() - (keepLast ? 1 : 0));
            m_pending = keepLast ? QByteArray(1, '\xFF') : QByteArray();
            break;
        }
        m_skipped += int(sync);
        m_pending.remove(0, sync);
        if (m_pending.size() < kFrameSize)
            break;
        // FF FF FF with a bad checksum: the first FF was noise, the frame starts one later.
        if (quint8(m_pending.at(2)) == 0xFF && !checksumOk(m_pending.left(kFrameSize))) {
            m_pending.remove(0, 1);
            ++m_skipped;
            continue;
        }
        frames.append(m_pending.left(kFrameSize));
        m_pending.remove(0, kFrameSize);
    }
    return frames;
}

quint8 FrameParser::checksum(const QByteArray& bytes) {
    quint8 cs = 0x8D;
    for (qsizetype i = 1; i + 1 < bytes.size(); ++i)
        cs ^= quint8(bytes.at(i));
    return cs;
}

bool FrameParser::checksumOk(const QByteArray& frame) {
    return frame.size() == kFrameSize && checksum(frame) == quint8(frame.back());
}

} // namespace nodalyx::sim
