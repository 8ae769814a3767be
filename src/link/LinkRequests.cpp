// The request routines of the link: one frame out, one wait for its answer.
#include "Link.h"

#include "CommandFrame.h"
#include "LoggerReplies.h"

#include <array>

namespace nodalyx {

bool Link::SendCommand(int b1, int b2, int b3, int b4, int b5, int b6, int b7, quint8 b8) {
    if (refuseWhenUnavailable())
        return false;
    const std::array<int, 7> values{b1, b2, b3, b4, b5, b6, b7};
    for (int v : values) {
        if (v < 0 || v > 255) {
            m_op.message(QStringLiteral("A request byte is out of range (0..255): %1").arg(v),
                         Operator::Icon::Critical);
            return false;
        }
    }
    if (!m_transport.isOpen()) {
        // A closed serial port is reported; an unconnected socket fails silently.
        if (m_state.settings.ConnType == 1)
            m_op.message(QStringLiteral("The serial port is not open."), Operator::Icon::Critical);
        return false;
    }
    // Whatever still waits belongs to an earlier answer: it must not become this one's start.
    noteDropped(m_transport.discardInput(), QStringLiteral("stale"));
    m_rx.clear();
    const QByteArray frame = CommandFrame(quint8(b1), quint8(b2), quint8(b3), quint8(b4),
                                          quint8(b5), quint8(b6), quint8(b7), b8);
    QString error;
    if (!m_transport.write(frame, &error)) {
        if (!error.isEmpty())
            m_op.message(error, Operator::Icon::Critical);
        return false;
    }
    emit traffic(true, frame);
    return true;
}

bool Link::SendCommand(const Command& command) {
    const auto& b = command.bytes;
    return SendCommand(b[0], b[1], b[2], b[3], b[4], b[5], b[6], b[7]);
}

int Link::replyTimeout(int timeoutMs) const {
    return timeoutMs < 0 ? m_timeouts.replyMs : timeoutMs;
}

// The reason names the logger that did not answer: "192.168.1.20:3101: no answer within 5 s".
void Link::noteNoAnswer(int timeoutMs) {
    m_lastFailure =
        m_lost ? QStringLiteral("connection lost")
               : QStringLiteral("%1: no answer within %2 s")
                     .arg(m_transport.endpoint().text(), QString::number(timeoutMs / 1000.0));
}

bool Link::awaitReply(ReplyRule rule, int timeoutMs) {
    if (refuseWhenUnavailable())
        return false;
    const std::shared_ptr<bool> alive = m_alive;
    m_rx.expect(rule);
    waitUntil([this] { return m_rx.status() != ReplyAssembler::Status::Pending; }, timeoutMs);
    if (!*alive)
        return false;
    if (m_rx.overflow() > 0)
        tell(QStringLiteral("The logger sent more than %1 bytes in one answer; %2 bytes were "
                            "dropped.")
                 .arg(kRxBufferLimit)
                 .arg(m_rx.overflow()),
             Operator::Icon::Warning);
    const bool ok = m_rx.status() == ReplyAssembler::Status::Complete ||
                    (!m_lost && m_rx.acceptableAtDeadline());
    if (ok)
        m_lastFailure.clear();
    else
        noteNoAnswer(timeoutMs);
    return ok;
}

bool Link::WaitAck() {
    return awaitReply(ReplyRule::ack(), m_timeouts.ackMs) || (!m_lost && m_rx.ack());
}

bool Link::WaitReply(int expectedLength) {
    if (refuseWhenUnavailable())
        return false;
    BusyGuard hourglass(m_op);
    return awaitReply(ReplyRule::exactly(expectedLength), m_timeouts.replyMs) &&
           CheckReply(m_rx.buffer());
}

bool Link::WaitAtLeast(int minimumLength, int timeoutMs) {
    return awaitReply(ReplyRule::atLeast(minimumLength), replyTimeout(timeoutMs));
}

bool Link::WaitExactly(int length, int timeoutMs) {
    return awaitReply(ReplyRule::exactly(length), replyTimeout(timeoutMs));
}

bool Link::WaitRaw(int minimumLength, int timeoutMs) {
    return awaitReply(ReplyRule::raw(minimumLength), replyTimeout(timeoutMs));
}

bool Link::ReadLoggerClock(LoggerClock& out) {
    if (!SendCommand(cmd::ReadClock, 0, 0, 0, 0, 0, 0))
        return false;
    // The reply is read whole (nine bytes) so that none of it is left for the next exchange;
    // eight will do when the ninth never comes. A whole reply must pass its checksum.
    const std::shared_ptr<bool> alive = m_alive;
    bool ok = awaitReply(ReplyRule::whole(kClockReplyMinimum, kClockReplySize), m_timeouts.replyMs);
    if (!*alive)
        return false;
    const QByteArray reply = m_rx.buffer();
    m_rx.takeBuffer();
    if (ok && reply.size() >= kClockReplySize && !CheckReply(reply.left(kClockReplySize))) {
        m_lastFailure = QStringLiteral("the reply's checksum is wrong");
        ok = false;
    }
    const std::optional<LoggerClock> clock = ok ? decodeClockReply(reply) : std::nullopt;
    if (!clock)
        return false;
    out = *clock;
    return true;
}

bool Link::WriteLoggerClock(const LoggerClock& clock) {
    if (!SendCommand(cmd::SetClock, clock.hour, clock.minute, clock.year, clock.month, clock.day,
                     clock.weekday))
        return false;
    const std::shared_ptr<bool> alive = m_alive;
    // A NAK does not end this wait: it fails when the time is up.
    waitUntil([this] { return m_rx.ack(); }, m_timeouts.replyMs);
    if (!*alive || !m_rx.ack())
        return false;
    m_rx.takeBuffer();
    return true;
}

QString Link::ReadLoggerSerial() {
    QString result = QStringLiteral("False");
    if (!SendCommand(cmd::ReadSerial, 0, 0, 0, 0, 0, 0))
        return result;
    // Waits for the whole reply, however slowly its pieces come, within the reply time; a
    // reply cut short by the deadline gives what has arrived.
    const std::shared_ptr<bool> alive = m_alive;
    const bool ok = awaitReply(ReplyRule::whole(1, kSerialReplySize), m_timeouts.replyMs);
    if (!*alive)
        return result;
    if (ok) {
        if (const auto serial = decodeSerialReply(m_rx.buffer()))
            result = *serial;
    }
    m_rx.takeBuffer();
    return result;
}

void Link::Wait(double seconds) {
    if (refuseWhenUnavailable())
        return;
    waitUntil([] { return false; }, int(seconds * 1000.0 + 0.5), false);
}

} // namespace nodalyx
