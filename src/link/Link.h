#pragma once

#include "CommandFrame.h"
#include "ExchangeOutcome.h"
#include "GeneralSettings.h"
#include "LinkEndpoint.h"
#include "LinkError.h"
#include "LinkLease.h"
#include "LinkTimeouts.h"
#include "LinkTransport.h"
#include "LoggerClock.h"
#include "Operator.h"
#include "ReplyAssembler.h"
#include "WaitLoop.h"

#include <QByteArray>
#include <QObject>
#include <QSerialPort>
#include <QString>
#include <QStringList>
#include <QTcpSocket>
#include <QTimer>
#include <functional>
#include <memory>
#include <optional>

namespace nodalyx {

// The one connection to the logger of one location: a serial port or a TCP socket on the
// endpoint taken from that location's settings when it opens, the receive state of the current
// exchange (the buffer and the ACK/NAK flags), request frames and the waits for their answers.
//
// The link tells the operator nothing itself: every call answers whether it worked, lastError()
// says what went wrong as a kind and errorString() in words, and what the operator should hear
// of (a lost connection, an oversized answer, a request refused or failed) comes out as
// notice(), after a running wait has ended. Whoever owns the link wires its notices to an
// Operator (see LoggerSession); the routines decide what else is told.
//
// A wait runs a local event loop that wakes on arriving bytes, a lost connection or its
// deadline; while a wait runs the link refuses a second exchange (isBusy()). Destroy a Link
// with deleteLater(): a deferred delete that arrives during a wait is held back until the
// wait has ended.
class Link : public QObject {
    Q_OBJECT
public:
    // The link reaches the endpoint these settings name each time it opens; they must outlive it.
    explicit Link(const GeneralSettings& settings, QObject* parent = nullptr);
    ~Link() override;

    void setTimeouts(const LinkTimeouts& timeouts);
    const LinkTimeouts& timeouts() const { return m_timeouts; }

    // Opens the endpoint of the current settings: the serial port at 19200 8N1 or a TCP
    // connection (at most the connect time). A connection already open on that very endpoint
    // is kept; any other is closed first. The reason of a failure is in lastFailure() (for a
    // serial port, the operator's text naming the device).
    bool OpenLink();
    // Opens a serial device named directly, at 19200 8N1, whatever the settings say (the
    // search for a logger among the ports).
    bool OpenSerialDevice(const QString& device);
    // Closes whatever is open.
    void CloseLink();

    // Drops what is still waiting from an earlier answer, clears the buffer and both flags,
    // then sends one request frame. False when the link is busy or leased, the socket is not
    // connected, the port is closed or the write fails (lastError() says which).
    bool SendCommand(const Command& command);
    // Until the ACK flag is set (and NAK is not) or the ack time has passed; answers the flag.
    bool WaitAck();
    // Until the data reply holds expectedLength bytes or the reply time has passed; true when
    // it holds exactly that many and passes CheckReply.
    bool WaitReply(int expectedLength);
    // Data-reply waits; bytes in front of the reply's 0xFF are skipped. timeoutMs < 0: the
    // reply time. After each, rxBuffer() holds the reply from its 0xFF on.
    bool WaitAtLeast(int minimumLength, int timeoutMs = -1);
    bool WaitExactly(int length, int timeoutMs = -1); // a longer reply never fits
    // Until the buffer holds that many bytes, whatever the first one is.
    bool WaitRaw(int minimumLength, int timeoutMs = -1);

    bool ReadLoggerClock(LoggerClock& out);
    bool WriteLoggerClock(const LoggerClock& clock);
    // The logger's serial number; nothing when no reply came.
    std::optional<QString> ReadLoggerSerial();
    // Lets events run for the given time.
    void Wait(double seconds);

    // The current exchange's answer.
    const QByteArray& rxBuffer() const { return m_rx.buffer(); }
    bool ackFlag() const { return m_rx.ack(); }
    bool nakFlag() const { return m_rx.nak(); }
    // Why the last OpenLink or wait failed, naming the endpoint ("192.168.1.20:3101: connection
    // refused", "/dev/ttyUSB0: no answer within 5 s"), or "connection lost"; empty after a
    // success.
    QString lastFailure() const { return m_lastFailure; }
    // "Connection with Datalogger failed", with the reason when one is known.
    QString connectionFailedText() const;
    // What went wrong with the last call that failed (None after a success), and in words.
    LinkError lastError() const { return m_error; }
    QString errorString() const;
    // Bytes dropped so far: stale input before a request, strays before a reply, and input
    // beyond the receive limit.
    qint64 droppedBytes() const { return m_dropped; }

    bool isBusy() const { return m_wait.isWaiting(); }
    // True (and a notice says why, after a running wait when there is one) when the link
    // cannot take an exchange now: a wait runs or a lease is held.
    bool refuseWhenUnavailable();
    // Why the link cannot take an exchange now; empty when it can.
    QString unavailableText() const;

    // Hands the device over (see LinkLease). Refused, with *why set, while a wait runs or
    // another lease is held.
    LinkLease TakeLease(const QString& holder, QString* why = nullptr);
    bool isLeased() const { return !m_leaseHolder.isEmpty(); }

    // The wire under the link (its state, the device, the receive poll).
    LinkTransport& transport() { return m_transport; }
    const LinkTransport& transport() const { return m_transport; }

    int framingErrors() const { return m_framingErrors; }
    // A framing error on the serial line (counted only; the data stays as it is).
    void countFramingError();

    static QString busyText();
    static QString leasedText(const QString& holder);

signals:
    // Something the operator should hear of: a lost connection, an oversized answer, a request
    // refused (busy) or failed (port closed, write error). Emitted once no wait runs.
    void notice(const QString& text, Operator::Icon icon);
    void framingErrorsChanged(int count);
    // Every frame sent (sent = true) and every piece received (sent = false).
    void traffic(bool sent, const QByteArray& bytes);
    // Bytes were dropped: count this time, and why ("stale", "stray", "overflow").
    void inputDropped(qint64 count, const QString& why);
    // A wait for the logger's answer (WaitAck, WaitReply, WaitAtLeast, WaitExactly, WaitRaw
    // and the clock and serial-number requests) ended this way; not when the link refused the
    // wait (busy, leased) or was deleted meanwhile. For the communication log: it changes nothing
    // of what the calls answer.
    void exchangeEnded(nodalyx::ExchangeOutcome outcome);

protected:
    bool event(QEvent* e) override;

private:
    friend class LinkLease;
    void endLease();
    bool openEndpoint(const LinkEndpoint& endpoint);
    bool openTcp(const LinkEndpoint& endpoint);
    enum class Awaited { Answered, Failed, Destroyed };
    Awaited awaitReply(ReplyRule rule, int timeoutMs);
    bool awaitData(ReplyRule rule, int timeoutMs);
    void noteNoAnswer(int timeoutMs);
    // The outcome of a wait that ended with the answer complete, or one that failed.
    ExchangeOutcome answeredOutcome() const;
    ExchangeOutcome failedOutcome() const;
    // Emits exchangeEnded and answers `result`.
    bool ended(ExchangeOutcome outcome, bool result);
    int replyTimeout(int timeoutMs) const;
    // Runs events until done() holds, the connection is lost or the deadline passes (the one
    // wait of the link). After Destroyed nothing of the link may be touched.
    WaitResult waitUntil(const std::function<bool()>& done, int timeoutMs, bool endOnLoss = true);
    void wake();
    void received(const QByteArray& bytes);
    void onLost(const QString& text);
    void noteDropped(qint64 count, const QString& why);
    // Gives a notice now, or once the running wait has ended.
    void tell(const QString& text, Operator::Icon icon);
    bool fail(LinkError error, const QString& failure = {});
    void tellDeferred();

    WaitLoop m_wait{this}; // first: destroyed after everything its conditions read
    const GeneralSettings& m_settings;
    LinkError m_error = LinkError::None;
    LinkTimeouts m_timeouts;
    LinkTransport m_transport;
    ReplyAssembler m_rx;
    QString m_lastFailure;
    QString m_leaseHolder;
    QList<std::pair<QString, Operator::Icon>> m_deferred;
    qint64 m_dropped = 0;
    bool m_lost = false;
    bool m_lossTold = false;
    int m_framingErrors = 0;
};

} // namespace nodalyx
