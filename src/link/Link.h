#pragma once

#include "LinkTimeouts.h"
#include "LoggerClock.h"
#include "Operator.h"
#include "SharedState.h"

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QSerialPort>
#include <QString>
#include <QTcpSocket>
#include <QTimer>
#include <functional>

class QEventLoop;

namespace nodalyx {

// The one connection to the logger of the selected location: a serial port (ConnType 1) or a
// TCP socket (any other type), the receive path that fills state.link (RxBuffer, AckFlag,
// NakFlag), request frames and the waits for their answers.
//
// Everything runs on one thread. A wait runs a local event loop that wakes on arriving bytes
// or its deadline; while a wait runs the link refuses a second exchange (isBusy()). Destroy a
// Link with deleteLater(): a deferred delete that arrives during a wait is held back until
// the wait has ended.
class Link : public QObject {
    Q_OBJECT
public:
    Link(SharedState& state, Operator& op, QObject* parent = nullptr);
    ~Link() override;

    void setTimeouts(const LinkTimeouts& timeouts);
    const LinkTimeouts& timeouts() const { return m_timeouts; }

    // Opens the serial port (19200 8N1) or connects the socket. An open serial port is taken
    // as it is. A serial port that cannot be opened is reported; a TCP connection that does
    // not come up within the connect time fails silently.
    bool OpenLink();
    void CloseLink();

    // Clears RxBuffer and both flags, then sends one request frame. False when the socket is
    // not connected (silent), the port is closed or a value is outside 0..255 (reported).
    bool SendCommand(int b1, int b2, int b3, int b4, int b5, int b6, int b7, quint8 b8 = 0);
    // Until AckFlag is set (and NakFlag is not) or the ack time has passed; answers AckFlag.
    bool WaitAck();
    // Until RxBuffer holds expectedLength bytes or the reply time has passed; true when it
    // holds exactly that many and passes CheckReply. Shows the hourglass meanwhile.
    bool WaitReply(int expectedLength);
    bool ReadLoggerClock(LoggerClock& out);
    bool WriteLoggerClock(const LoggerClock& clock);
    // The logger's serial number, or "False" when no reply came.
    QString ReadLoggerSerial();
    // Lets events run for the given time.
    void Wait(double seconds);

    bool isBusy() const { return m_busy; }

    QSerialPort& Comm() { return m_comm; }
    QTcpSocket& TCP() { return m_tcp; }
    QTimer& TTcomm() { return m_ttcomm; }

    int framingErrors() const { return m_framingErrors; }
    // A framing error on the serial line (counted only; the data stays as it is).
    void countFramingError();

    static QString busyText();

signals:
    void framingErrorsChanged(int count);
    // Every frame sent (sent = true) and every piece received (sent = false).
    void traffic(bool sent, const QByteArray& bytes);

protected:
    bool event(QEvent* e) override;

private:
    bool isSerial() const;
    bool refuseWhenBusy();
    bool openSerial();
    bool openTcp();
    // Runs events until done() holds or the deadline passes; answers done(). Also false when
    // the link was destroyed meanwhile (check alive before touching members).
    bool waitUntil(const std::function<bool()>& done, int timeoutMs);
    void wake();
    void takeSerialBytes();
    void takeTcpBytes();
    void received(const QByteArray& bytes);
    void onSerialError(QSerialPort::SerialPortError error);
    void reportReceiveError(const QString& text);

    SharedState& m_state;
    Operator& m_op;
    LinkTimeouts m_timeouts;
    QSerialPort m_comm;
    QTcpSocket m_tcp;
    QTimer m_ttcomm;
    QEventLoop* m_waitLoop = nullptr;
    bool m_busy = false;
    bool m_deleteHeld = false;
    bool m_receiveErrorShown = false;
    int m_framingErrors = 0;
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
};

} // namespace nodalyx
