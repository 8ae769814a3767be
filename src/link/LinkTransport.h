#pragma once

#include "LinkEndpoint.h"

#include <QByteArray>
#include <QObject>
#include <QSerialPort>
#include <QString>
#include <QTcpSocket>
#include <QTimer>

namespace nodalyx {

// The wire under the link: a serial port or a TCP socket, opened on one endpoint, and the
// receive poll TTcomm. It moves bytes and reports what happens to the connection; it knows
// nothing of frames or replies.
//
// Input is bounded: the port and the socket buffer at most the receive limit, and bytes that
// arrive while nobody reads are dropped before the next request (discardInput()).
class LinkTransport : public QObject {
    Q_OBJECT
public:
    enum class ConnectState { Connecting, Connected, Failed };

    explicit LinkTransport(QObject* parent = nullptr);
    ~LinkTransport() override;

    // Opens the serial device at the endpoint's speed, 8N1, no handshaking. False with *error
    // set to the operator's text when it cannot be opened.
    bool openSerial(const LinkEndpoint& endpoint, QString* error);
    // Starts a TCP connection; connectState() tells how it goes (stateChanged() on change).
    void startConnect(const LinkEndpoint& endpoint);
    ConnectState connectState() const;
    // Why the connection failed or was lost: "host not found", "connection refused", ...
    QString failureReason() const;

    // The connection is up on exactly this endpoint (for serial: that device, open, at that
    // speed, 8N1).
    bool isOpenOn(const LinkEndpoint& endpoint) const;
    bool isOpen() const;
    const LinkEndpoint& endpoint() const { return m_endpoint; }
    void close();

    // Writes all bytes. False with *error set when the port is closed or the write fails.
    bool write(const QByteArray& bytes, QString* error);
    // Reads and drops everything waiting on the port or socket; answers the count.
    qint64 discardInput();

    QSerialPort& serial() { return m_comm; }
    QTcpSocket& tcp() { return m_tcp; }
    QTimer& poll() { return m_ttcomm; }

signals:
    void received(const QByteArray& bytes);
    // The open connection went away (hang-up, device removed, read failure); closed now.
    void lost(const QString& reason);
    void stateChanged();

private:
    void takeSerialBytes();
    void takeTcpBytes();
    void onSerialError(QSerialPort::SerialPortError error);
    void onTcpError(QAbstractSocket::SocketError error);
    void onTcpDisconnected();

    LinkEndpoint m_endpoint;
    QSerialPort m_comm;
    QTcpSocket m_tcp;
    QTimer m_ttcomm;
    QString m_failure;
    bool m_tcpFailed = false;
    bool m_closing = false;
};

} // namespace nodalyx
