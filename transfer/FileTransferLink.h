#pragma once

#include "Link.h"
#include "LinkTransport.h"
#include "PacketReader.h"
#include "TransferSettings.h"
#include "TransferStatus.h"
#include "WaitLoop.h"

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>

namespace nodalyx {

// One line of the packet trace: a packet sent, a packet received with its verdict, or bytes
// that were skipped.
struct PacketTrace {
    bool sent = false;
    bool packet = true; // false: skipped bytes
    quint8 code = 0;
    quint32 number = 0;
    int length1 = 0;
    int length2 = 0;
    qsizetype bytes = 0;
    QString verdict; // "CRC ok", "CRC wrong: no reply", ...
    QByteArray raw;  // the packet's (or the skipped) bytes as sent or received
};

// The file-transfer component: moves numbered packets (TransferPacket.h) over a serial port or
// a TCP connection of its own. The download and the upload of the highway files drive it; the
// packet layout and the logger's side are documented in docs/TRANSFER.md.
//
// It takes the device from the tool's link through the link's lease while it is open, so the
// two never share a port; closing it gives the device back. Waits (WaitLoop) run a local event
// loop woken by arriving bytes, written bytes, a lost connection, a cancel or a monotonic
// deadline; a call made while a wait runs answers transfer::Busy. Destroy it with deleteLater()
// (held back while a wait runs).
class FileTransferLink : public QObject {
    Q_OBJECT
public:
    // link: the tool's link to take the device from (may be null: nothing to take).
    explicit FileTransferLink(Link* link = nullptr, QObject* parent = nullptr);
    ~FileTransferLink() override;

    // The reply time (seconds), the time a begun reply may take to arrive whole (seconds) and
    // the packet layout (1, the only one). Takes effect for the next open; the reply time
    // also replaces a ReplyDelay given before.
    void Configure(quint8 replySeconds, quint8 completeSeconds, quint8 layout);
    // Serial port number (rounded), "19200,N,8,1", handshaking (0 none, 1 XON/XOFF, 2 RTS/CTS).
    qint16 OpenSerial(float comport, const QString& settings, int handshaking);
    // Host, port, the connect time (s), the local port (0: any free one; others are refused),
    // the send time (s).
    qint16 OpenTcp(const QString& host, const QString& port, double connectSeconds, int localPort,
                   double sendSeconds);
    bool SerialIsOpen() const;
    bool TcpIsConnected() const;
    // Sends one packet; 0 once it has been handed to the port or socket.
    qint16 SendPacket(quint8 code, qint32 number, const QByteArray& text1, const QByteArray& text2);
    // The time ReceiveReply waits for a reply to begin, from now until the next Configure.
    void ReplyDelay(double seconds);
    // Waits for the reply to the last packet sent (the same packet number). 0 fills the four
    // fields; any other status leaves them as they were.
    qint16 ReceiveReply(quint8& code, qint32& number, QByteArray& data, QByteArray& count);
    void CloseSerial();
    qint16 CloseTcp();

    // The operator's cancel: ends a running wait with transfer::Cancelled, and every later send
    // or wait answers the same until the next open.
    void requestCancel();
    bool cancelRequested() const { return m_cancel; }
    // Why the last open failed, for messages; empty after a success.
    QString lastFailure() const { return m_lastFailure; }
    // Multiplies every time limit (tests use short ones).
    void setTimeScale(double scale) { m_timeScale = scale; }
    const TransferTimes& times() const { return m_times; }
    bool isBusy() const { return m_wait.isWaiting(); }

signals:
    void traced(const PacketTrace& line);

protected:
    bool event(QEvent* e) override;

private:
    qint16 prepareOpen();
    qint16 openFailed(qint16 status, const QString& why);
    qint16 connectTcp(const LinkEndpoint& endpoint);
    void closeAll();
    bool isOpen() const;
    int scaled(int ms) const;
    // Runs events until done() holds, the connection is lost or closed, the operator cancels
    // or timeoutMs have passed (a reply that begins meanwhile may move the deadline).
    WaitResult waitUntil(const std::function<bool()>& done, int timeoutMs);
    void received(const QByteArray& bytes);
    void traceSeen();
    qint16 afterWait(const PacketReader::Result& result) const;
    qsizetype pendingOutput();

    WaitLoop m_wait{this};
    QPointer<Link> m_link;
    LinkLease m_lease;
    LinkTransport m_transport;
    PacketReader m_reader;
    TransferTimes m_times;
    TransferTimes m_configured;
    QString m_lastFailure;
    double m_timeScale = 1.0;
    quint32 m_lastSent = 0;
    quint8 m_layout = 1;
    bool m_lost = false;
    bool m_cancel = false;
    bool m_awaitingFirstByte = false;
    bool m_junk = false; // bytes that were no reply arrived during the wait
};

} // namespace nodalyx
