// The request routines of the link: one frame out, one wait for its answer.
#include "Link.h"
#include "LocationSettings.h"

#include "CommandFrame.h"
#include "LoggerReplies.h"
#include "WriteRequests.h"

#include <array>

namespace nodalyx {

bool Link::SendCommand(const Command& command) {
    if (refuseWhenUnavailable())
        return false;
    if (!m_transport.isOpen()) {
        // A closed serial port is worth a notice; an unconnected socket fails silently.
        if (isSerial(m_settings))
            tell(QStringLiteral("The serial port is not open."), Operator::Icon::Critical);
        return fail(LinkError::NotOpen);
    }
    // Whatever still waits belongs to an earlier answer: it must not become this one's start.
    noteDropped(m_transport.discardInput(), QStringLiteral("stale"));
    m_rx.clear();
    const QByteArray frame = CommandFrame(command);
    QString error;
    if (!m_transport.write(frame, &error)) {
        if (!error.isEmpty())
            tell(error, Operator::Icon::Critical);
        return fail(LinkError::WriteFailed, error);
    }
    m_error = LinkError::None;
    emit traffic(true, frame);
    return true;
}

int Link::replyTimeout(int timeoutMs) const {
    return timeoutMs < 0 ? m_timeouts.replyMs : timeoutMs;
}

// The reason names the logger that did not answer: "192.168.1.20:3101: no answer within 5 s".
void Link::noteNoAnswer(int timeoutMs) {
    if (m_lost)
        fail(LinkError::Lost, QStringLiteral("connection lost"));
    else
        fail(LinkError::NoAnswer,
             QStringLiteral("%1: no answer within %2 s")
                 .arg(m_transport.endpoint().text(), QString::number(timeoutMs / 1000.0)));
}

Link::Awaited Link::awaitReply(ReplyRule rule, int timeoutMs) {
    if (refuseWhenUnavailable())
        return Awaited::Failed;
    m_rx.expect(rule);
    if (waitUntil([this] { return m_rx.status() != ReplyAssembler::Status::Pending; }, timeoutMs) ==
        WaitResult::Destroyed)
        return Awaited::Destroyed; // touch nothing
    if (m_rx.overflow() > 0)
        tell(QStringLiteral("The logger sent more than %1 bytes in one answer; %2 bytes were "
                            "dropped.")
                 .arg(kRxBufferLimit)
                 .arg(m_rx.overflow()),
             Operator::Icon::Warning);
    const bool ok = m_rx.status() == ReplyAssembler::Status::Complete ||
                    (!m_lost && m_rx.acceptableAtDeadline());
    if (ok) {
        m_lastFailure.clear();
        m_error = LinkError::None;
    } else {
        noteNoAnswer(timeoutMs);
    }
    return ok ? Awaited::Answered : Awaited::Failed;
}

ExchangeOutcome Link::answeredOutcome() const {
    if (m_rx.nak())
        return ExchangeOutcome::Nak;
    if (m_rx.ack())
        return ExchangeOutcome::Ack;
    return CheckReply(m_rx.buffer()) ? ExchangeOutcome::ReplyOk : ExchangeOutcome::ChecksumBad;
}

ExchangeOutcome Link::failedOutcome() const {
    if (m_lost)
        return ExchangeOutcome::Lost;
    if (m_rx.nak())
        return ExchangeOutcome::Nak;
    return m_rx.buffer().isEmpty() ? ExchangeOutcome::NoAnswer : ExchangeOutcome::WrongLength;
}

bool Link::ended(ExchangeOutcome outcome, bool result) {
    // A wait the link refused (busy, leased) waited for nothing: there is nothing to show.
    if (m_error != LinkError::Busy && m_error != LinkError::Leased)
        emit exchangeEnded(outcome);
    return result;
}

bool Link::WaitAck() {
    const Awaited awaited = awaitReply(ReplyRule::ack(), m_timeouts.ackMs);
    if (awaited == Awaited::Destroyed)
        return false;
    const bool ack =
        awaited == Awaited::Answered || (awaited == Awaited::Failed && !m_lost && m_rx.ack());
    return ended(ack ? ExchangeOutcome::Ack : failedOutcome(), ack);
}

bool Link::WaitReply(int expectedLength) {
    const Awaited awaited = awaitReply(ReplyRule::exactly(expectedLength), m_timeouts.replyMs);
    if (awaited == Awaited::Destroyed)
        return false;
    if (awaited != Awaited::Answered)
        return ended(failedOutcome(), false);
    if (CheckReply(m_rx.buffer()))
        return ended(ExchangeOutcome::ReplyOk, true);
    return ended(ExchangeOutcome::ChecksumBad,
                 fail(LinkError::BadReply, QStringLiteral("the reply's checksum is wrong")));
}

bool Link::WaitAtLeast(int minimumLength, int timeoutMs) {
    return awaitData(ReplyRule::atLeast(minimumLength), replyTimeout(timeoutMs));
}

bool Link::WaitExactly(int length, int timeoutMs) {
    return awaitData(ReplyRule::exactly(length), replyTimeout(timeoutMs));
}

bool Link::WaitRaw(int minimumLength, int timeoutMs) {
    return awaitData(ReplyRule::raw(minimumLength), replyTimeout(timeoutMs));
}

// A wait whose caller reads the answer itself: the log's verdict is the link's own look at it.
bool Link::awaitData(ReplyRule rule, int timeoutMs) {
    const Awaited awaited = awaitReply(rule, timeoutMs);
    if (awaited == Awaited::Destroyed)
        return false;
    const bool answered = awaited == Awaited::Answered;
    return ended(answered ? answeredOutcome() : failedOutcome(), answered);
}

bool Link::ReadLoggerClock(LoggerClock& out) {
    if (!SendCommand(Command::of(cmd::ReadClock)))
        return false;
    // The reply is read whole (nine bytes) so that none of it is left for the next exchange;
    // eight will do when the ninth never comes. A whole reply must pass its checksum.
    const Awaited awaited =
        awaitReply(ReplyRule::whole(kClockReplyMinimum, kClockReplySize), m_timeouts.replyMs);
    if (awaited == Awaited::Destroyed)
        return false;
    bool ok = awaited == Awaited::Answered;
    ExchangeOutcome outcome = ok ? ExchangeOutcome::ReplyOk : failedOutcome();
    const QByteArray reply = m_rx.buffer();
    m_rx.takeBuffer();
    if (ok && reply.size() >= kClockReplySize && !CheckReply(reply.left(kClockReplySize))) {
        ok = fail(LinkError::BadReply, QStringLiteral("the reply's checksum is wrong"));
        outcome = ExchangeOutcome::ChecksumBad;
    }
    const std::optional<LoggerClock> clock = ok ? decodeClockReply(reply) : std::nullopt;
    ended(ok && !clock ? ExchangeOutcome::Unreadable : outcome, ok);
    if (!clock)
        return false;
    out = *clock;
    return true;
}

bool Link::WriteLoggerClock(const LoggerClock& clock) {
    if (!SendCommand(clockRequest(clock)))
        return false;
    // A NAK does not end this wait: it fails when the time is up.
    if (waitUntil([this] { return m_rx.ack(); }, m_timeouts.replyMs) == WaitResult::Destroyed)
        return false;
    if (!m_rx.ack()) {
        noteNoAnswer(m_timeouts.replyMs);
        return ended(failedOutcome(), false);
    }
    m_rx.takeBuffer();
    return ended(ExchangeOutcome::Ack, true);
}

namespace {
// The serial number is taken without a look at the checksum; the log shows it all the same.
ExchangeOutcome serialOutcome(const QByteArray& reply, bool readable) {
    if (!readable)
        return ExchangeOutcome::Unreadable;
    if (reply.size() < kSerialReplySize)
        return ExchangeOutcome::WrongLength;
    return CheckReply(reply.left(kSerialReplySize)) ? ExchangeOutcome::ReplyOk
                                                    : ExchangeOutcome::ChecksumBad;
}
} // namespace

std::optional<QString> Link::ReadLoggerSerial() {
    std::optional<QString> result;
    if (!SendCommand(Command::of(cmd::ReadSerial)))
        return result;
    // Waits for the whole reply, however slowly its pieces come, within the reply time; a
    // reply cut short by the deadline gives what has arrived.
    const Awaited awaited = awaitReply(ReplyRule::whole(1, kSerialReplySize), m_timeouts.replyMs);
    if (awaited == Awaited::Destroyed)
        return result;
    if (awaited == Awaited::Answered) {
        result = decodeSerialReply(m_rx.buffer());
        if (!result)
            fail(LinkError::BadReply, QStringLiteral("the serial number reply cannot be read"));
        ended(serialOutcome(m_rx.buffer(), result.has_value()), true);
    } else {
        ended(failedOutcome(), false);
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
