#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <functional>

namespace nodalyx::sim {

// The simulator's transmitter: queues bytes and hands them to a sink, either at once, in
// pieces with pauses, or paced at a line rate (10 bits a byte), each piece delivered when
// its last bit would have left the line.
class PacedOutput : public QObject {
    Q_OBJECT
public:
    using Sink = std::function<void(const QByteArray&)>;

    explicit PacedOutput(QObject* parent = nullptr);
    void setSink(Sink sink) { m_sink = std::move(sink); }
    void setPacing(int baud, int chunkSize, int chunkGapMs);

    // Queues bytes to go out no earlier than notBeforeNs (on this object's clock).
    void send(const QByteArray& bytes, qint64 notBeforeNs = 0);
    void clear();
    qint64 nowNs() const { return m_clock.nsecsElapsed(); }
    // The wire time of n bytes at the pacing rate (0 without pacing).
    qint64 wireNs(qint64 bytes) const;
    bool idle() const { return m_queue.isEmpty(); }

private:
    void pump();
    void pumpLater(qint64 ns);

    Sink m_sink;
    QByteArray m_queue;
    QElapsedTimer m_clock;
    QTimer m_timer;
    qint64 m_notBefore = 0;
    qint64 m_lineFree = 0;
    qint64 m_pieceDue = -1; // when the piece in transmission has left the line
    bool m_busy = false;    // the line is sending back to back
    int m_baud = 0;
    int m_chunkSize = 0;
    int m_chunkGapMs = 0;
};

} // namespace nodalyx::sim
