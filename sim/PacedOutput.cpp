#include "PacedOutput.h"

namespace nodalyx::sim {

namespace {
constexpr int kPacedPiece = 8; // bytes a paced piece carries when no chunk size is set
}

PacedOutput::PacedOutput(QObject* parent) : QObject(parent) {
    m_clock.start();
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &PacedOutput::pump);
}

void PacedOutput::setPacing(int baud, int chunkSize, int chunkGapMs) {
    m_baud = baud;
    m_chunkSize = chunkSize;
    m_chunkGapMs = chunkGapMs;
}

qint64 PacedOutput::wireNs(qint64 bytes) const {
    return m_baud > 0 ? bytes * 10 * 1000000000LL / m_baud : 0;
}

void PacedOutput::send(const QByteArray& bytes, qint64 notBeforeNs) {
    if (bytes.isEmpty())
        return;
    if (m_queue.isEmpty())
        m_notBefore = notBeforeNs;
    m_queue.append(bytes);
    if (!m_timer.isActive())
        pump();
}

void PacedOutput::clear() {
    m_queue.clear();
    m_busy = false;
    m_timer.stop();
    m_pieceDue = -1;
}

// The timer counts whole milliseconds and fires up to a millisecond late, which would make
// every short reply late by as much as its own wire time. So it is set to the whole
// milliseconds before the due time and pump() looks at the clock again; the last fraction of
// a millisecond passes in zero-interval rounds of the event loop, which serve everything else
// meanwhile.
void PacedOutput::pumpLater(qint64 ns) {
    m_timer.start(int(std::max<qint64>(0, ns - 1000000) / 1000000));
}

void PacedOutput::pump() {
    while (!m_queue.isEmpty()) {
        const qint64 now = nowNs();
        if (now < m_notBefore)
            return pumpLater(m_notBefore - now);
        int n = int(m_queue.size());
        if (m_chunkSize > 0)
            n = std::min(n, m_chunkSize);
        else if (m_baud > 0)
            n = std::min(n, kPacedPiece);
        if (m_baud > 0) {
            // Back-to-back pieces follow the line's own schedule, so a late timer does not
            // stretch the transmission.
            if (m_pieceDue < 0)
                m_pieceDue = (m_busy ? m_lineFree : std::max(now, m_lineFree)) + wireNs(n);
            if (now < m_pieceDue)
                return pumpLater(m_pieceDue - now);
            m_lineFree = m_pieceDue;
            m_pieceDue = -1;
        }
        const QByteArray piece = m_queue.left(n);
        m_queue.remove(0, n);
        m_busy = !m_queue.isEmpty();
        if (m_sink)
            m_sink(piece);
        if (m_chunkGapMs > 0 && !m_queue.isEmpty()) {
            m_notBefore = nowNs() + qint64(m_chunkGapMs) * 1000000;
            return pumpLater(qint64(m_chunkGapMs) * 1000000);
        }
    }
}

} // namespace nodalyx::sim
