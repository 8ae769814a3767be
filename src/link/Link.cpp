#include "Link.h"

#include "CommandFrame.h"
#include "LoggerReplies.h"
#include "RxBuffer.h"
#include "SerialPortName.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEvent>
#include <QEventLoop>
#include <array>

namespace nodalyx {

namespace {
constexpr int kSerialNumberCommand = 59;
constexpr int kReadClockCommand = 2;
constexpr int kWriteClockCommand = 1;
// FF, second byte, ten characters, checksum.
constexpr int kSerialReplySize = 13;
constexpr int kClockReplyMinimum = 8;
// Serial port numbers run from 1 to this.
constexpr int kHighestComport = 255;

bool startsWithSync(const QByteArray& buffer) {
    return !buffer.isEmpty() && quint8(buffer.at(0)) == kSync;
}
} // namespace

Link::Link(SharedState& state, Operator& op, QObject* parent)
    : QObject(parent), m_state(state), m_op(op) {
    m_ttcomm.setInterval(m_timeouts.pollMs);
    connect(&m_ttcomm, &QTimer::timeout, this, &Link::takeSerialBytes);
    // Bytes are taken at once when they arrive, not only on the tick; both only while the
    // poll timer runs, so a component that stops TTcomm owns the port's input.
    connect(&m_comm, &QSerialPort::readyRead, this, [this] {
        if (m_ttcomm.isActive())
            takeSerialBytes();
    });
    connect(&m_comm, &QSerialPort::errorOccurred, this, &Link::onSerialError);
    connect(&m_tcp, &QTcpSocket::readyRead, this, &Link::takeTcpBytes);
    connect(&m_tcp, &QTcpSocket::stateChanged, this, &Link::wake);
    m_ttcomm.start();
}

Link::~Link() {
    *m_alive = false;
    if (m_waitLoop)
        m_waitLoop->quit();
    m_comm.disconnect(this);
    m_tcp.disconnect(this);
    m_ttcomm.disconnect(this);
    m_tcp.abort();
}

void Link::setTimeouts(const LinkTimeouts& timeouts) {
    m_timeouts = timeouts;
    m_ttcomm.setInterval(timeouts.pollMs);
}

QString Link::busyText() {
    return QStringLiteral("The link is busy with another request.");
}

bool Link::isSerial() const {
    return m_state.settings.ConnType == 1;
}

bool Link::refuseWhenBusy() {
    if (!m_busy)
        return false;
    m_op.message(busyText(), Operator::Icon::Warning);
    return true;
}

bool Link::event(QEvent* e) {
    // A deferred delete during a wait would pull the link away under the waiting routine:
    // hold it, end the wait, and delete once the wait has returned.
    if (e->type() == QEvent::DeferredDelete && m_busy) {
        m_deleteHeld = true;
        wake();
        return true;
    }
    return QObject::event(e);
}

// ---- opening and closing ----

bool Link::OpenLink() {
    if (refuseWhenBusy())
        return false;
    return isSerial() ? openSerial() : openTcp();
}

bool Link::openSerial() {
    if (m_comm.isOpen())
        return true;
    const double comport = m_state.settings.Comport;
    if (!(comport >= 0.5 && comport < kHighestComport + 0.5)) { // also refuses NaN
        m_op.message(QStringLiteral("The location names no serial port (Comport %1).")
                         .arg(QString::number(comport)),
                     Operator::Icon::Critical);
        return false;
    }
    const int number = qRound(comport);
    const QString device = serialPortName(number);
    m_device = device;
    m_comm.setPortName(device);
    m_comm.setBaudRate(QSerialPort::Baud19200);
    m_comm.setDataBits(QSerialPort::Data8);
    m_comm.setParity(QSerialPort::NoParity);
    m_comm.setStopBits(QSerialPort::OneStop);
    m_comm.setFlowControl(QSerialPort::NoFlowControl);
    if (!m_comm.open(QIODevice::ReadWrite)) {
        m_op.message(serialOpenFailureText(device, m_comm.error(), m_comm.errorString()),
                     Operator::Icon::Critical);
        m_comm.clearError();
        return false;
    }
    return true;
}

bool Link::openTcp() {
    if (m_tcp.state() != QAbstractSocket::UnconnectedState)
        m_tcp.abort();
    bool ok = false;
    const int port = m_state.settings.Portnumber.trimmed().toInt(&ok);
    if (!ok || port < 0 || port > 65535) {
        m_op.message(QStringLiteral("The port number \"%1\" is not a number from 0 to 65535.")
                         .arg(m_state.settings.Portnumber),
                     Operator::Icon::Critical);
        return false;
    }
    const std::shared_ptr<bool> alive = m_alive;
    m_tcp.connectToHost(m_state.settings.IPnumber.trimmed(), quint16(port));
    // Ends early when the connection is refused: the socket falls back to unconnected.
    waitUntil(
        [this] {
            const auto s = m_tcp.state();
            return s == QAbstractSocket::ConnectedState || s == QAbstractSocket::UnconnectedState;
        },
        m_timeouts.connectMs);
    return *alive && m_tcp.state() == QAbstractSocket::ConnectedState;
}

void Link::CloseLink() {
    if (m_busy)
        return; // never pull the port away under a running wait
    if (isSerial()) {
        if (m_comm.isOpen())
            m_comm.close();
    } else if (m_tcp.state() != QAbstractSocket::UnconnectedState) {
        m_tcp.close();
    }
}

// ---- requests ----

bool Link::SendCommand(int b1, int b2, int b3, int b4, int b5, int b6, int b7, quint8 b8) {
    if (refuseWhenBusy())
        return false;
    m_state.link.AckFlag = false;
    m_state.link.NakFlag = false;
    m_state.link.RxBuffer.clear();
    const std::array<int, 7> values{b1, b2, b3, b4, b5, b6, b7};
    for (int v : values) {
        if (v < 0 || v > 255) {
            m_op.message(QStringLiteral("A request byte is out of range (0..255): %1").arg(v),
                         Operator::Icon::Critical);
            return false;
        }
    }
    const QByteArray frame = CommandFrame(quint8(b1), quint8(b2), quint8(b3), quint8(b4),
                                          quint8(b5), quint8(b6), quint8(b7), b8);
    if (isSerial()) {
        if (!m_comm.isOpen()) {
            m_op.message(QStringLiteral("The serial port is not open."), Operator::Icon::Critical);
            return false;
        }
        if (m_comm.write(frame) != frame.size()) {
            m_op.message(m_comm.errorString(), Operator::Icon::Critical);
            m_comm.clearError();
            return false;
        }
    } else {
        if (m_tcp.state() != QAbstractSocket::ConnectedState)
            return false;
        m_tcp.write(frame);
        m_tcp.flush();
    }
    emit traffic(true, frame);
    return true;
}

bool Link::WaitAck() {
    if (refuseWhenBusy())
        return false;
    const std::shared_ptr<bool> alive = m_alive;
    waitUntil([this] { return m_state.link.AckFlag && !m_state.link.NakFlag; }, m_timeouts.ackMs);
    return *alive && m_state.link.AckFlag;
}

bool Link::WaitReply(int expectedLength) {
    if (refuseWhenBusy())
        return false;
    BusyGuard hourglass(m_op);
    const std::shared_ptr<bool> alive = m_alive;
    waitUntil([this, expectedLength] { return m_state.link.RxBuffer.size() >= expectedLength; },
              m_timeouts.replyMs);
    if (!*alive)
        return false;
    const QByteArray& rx = m_state.link.RxBuffer;
    return rx.size() == expectedLength && CheckReply(rx);
}

bool Link::ReadLoggerClock(LoggerClock& out) {
    if (!SendCommand(kReadClockCommand, 0, 0, 0, 0, 0, 0))
        return false;
    const std::shared_ptr<bool> alive = m_alive;
    waitUntil(
        [this] {
            const QByteArray& rx = m_state.link.RxBuffer;
            return rx.size() >= kClockReplyMinimum && startsWithSync(rx);
        },
        m_timeouts.replyMs);
    if (!*alive)
        return false;
    const std::optional<LoggerClock> clock = decodeClockReply(m_state.link.RxBuffer);
    m_state.link.RxBuffer.clear();
    if (!clock)
        return false;
    out = *clock;
    return true;
}

bool Link::WriteLoggerClock(const LoggerClock& clock) {
    if (!SendCommand(kWriteClockCommand, clock.hour, clock.minute, clock.year, clock.month,
                     clock.day, clock.weekday))
        return false;
    const std::shared_ptr<bool> alive = m_alive;
    // A NAK does not end this wait: it fails when the time is up.
    waitUntil([this] { return m_state.link.AckFlag; }, m_timeouts.replyMs);
    if (!*alive || !m_state.link.AckFlag)
        return false;
    m_state.link.RxBuffer.clear();
    return true;
}

QString Link::ReadLoggerSerial() {
    QString result = QStringLiteral("False");
    if (refuseWhenBusy())
        return result;
    m_state.link.RxBuffer.clear();
    if (SendCommand(kSerialNumberCommand, 0, 0, 0, 0, 0, 0)) {
        const std::shared_ptr<bool> alive = m_alive;
        const QByteArray& rx = m_state.link.RxBuffer;
        waitUntil([&rx] { return startsWithSync(rx); }, m_timeouts.replyMs);
        if (!*alive)
            return result;
        // The reply is complete at 13 bytes; a shorter one is taken once nothing more has
        // arrived for the settle time, so a reply in two pieces is read whole.
        while (startsWithSync(rx) && rx.size() < kSerialReplySize) {
            const qsizetype before = rx.size();
            waitUntil([&rx, before] { return rx.size() != before; }, m_timeouts.serialSettleMs);
            if (!*alive)
                return result;
            if (rx.size() == before)
                break;
        }
        if (const auto serial = decodeSerialReply(rx))
            result = *serial;
    }
    m_state.link.RxBuffer.clear();
    return result;
}

void Link::Wait(double seconds) {
    if (refuseWhenBusy())
        return;
    waitUntil([] { return false; }, int(seconds * 1000.0 + 0.5));
}

// ---- waiting ----

bool Link::waitUntil(const std::function<bool()>& done, int timeoutMs) {
    if (done())
        return true;
    const std::shared_ptr<bool> alive = m_alive;
    const QDeadlineTimer deadline(std::max(0, timeoutMs), Qt::PreciseTimer);
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    timer.setTimerType(Qt::PreciseTimer);
    connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    m_busy = true;
    m_waitLoop = &loop;
    bool met = false;
    for (;;) {
        met = done();
        if (met || m_deleteHeld || deadline.hasExpired())
            break;
        timer.start(int(std::max<qint64>(0, deadline.remainingTime())));
        const int exitCode = loop.exec();
        if (!*alive)
            return false; // destroyed during the wait: touch nothing
        if (exitCode != 0 || QCoreApplication::closingDown())
            break; // the program is ending: event loops no longer run, so stop waiting
    }
    m_waitLoop = nullptr;
    m_busy = false;
    if (m_deleteHeld) {
        m_deleteHeld = false;
        deleteLater();
    }
    return met;
}

void Link::wake() {
    if (m_waitLoop)
        m_waitLoop->quit();
}

// ---- receive path ----

void Link::takeSerialBytes() {
    if (!m_comm.isOpen() || m_comm.bytesAvailable() <= 0)
        return;
    const QByteArray bytes = m_comm.readAll();
    if (bytes.isEmpty())
        return;
    m_receiveErrorShown = false; // the port works again
    received(bytes);
}

void Link::takeTcpBytes() {
    const QByteArray bytes = m_tcp.readAll();
    if (!bytes.isEmpty())
        received(bytes);
}

void Link::received(const QByteArray& bytes) {
    emit traffic(false, bytes);
    appendReceived(m_state.link, bytes);
    wake();
}

void Link::onSerialError(QSerialPort::SerialPortError error) {
    if (error != QSerialPort::ReadError && error != QSerialPort::ResourceError)
        return;
    // A device that hung up keeps failing every read, thousands of times a second: close it.
    // The next OpenLink opens it again. The port's own error text may be left over from an
    // earlier call, so the message names the failure itself.
    m_comm.clearError();
    if (m_comm.isOpen())
        m_comm.close();
    reportReceiveError(
        error == QSerialPort::ResourceError
            ? QStringLiteral("Serial port %1: the device is no longer available; "
                             "the port was closed.")
                  .arg(m_device)
            : QStringLiteral("Serial port %1: reading failed; the port was closed.").arg(m_device));
    wake();
}

void Link::reportReceiveError(const QString& text) {
    // One message until the port works again, not one per poll.
    if (m_receiveErrorShown)
        return;
    m_receiveErrorShown = true;
    m_op.message(text, Operator::Icon::Critical);
}

void Link::countFramingError() {
    ++m_framingErrors;
    emit framingErrorsChanged(m_framingErrors);
}

} // namespace nodalyx
