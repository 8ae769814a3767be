#include "LinkTransport.h"

#include "ReplyAssembler.h"
#include "SerialPortName.h"

namespace nodalyx {

LinkTransport::LinkTransport(QObject* parent) : QObject(parent) {
    m_comm.setReadBufferSize(kRxBufferLimit);
    m_tcp.setReadBufferSize(kRxBufferLimit);
    m_ttcomm.setInterval(100);
    connect(&m_ttcomm, &QTimer::timeout, this, &LinkTransport::takeSerialBytes);
    // Bytes are taken at once when they arrive, not only on the tick; both only while the
    // poll timer runs.
    connect(&m_comm, &QSerialPort::readyRead, this, [this] {
        if (m_ttcomm.isActive())
            takeSerialBytes();
    });
    connect(&m_comm, &QSerialPort::errorOccurred, this, &LinkTransport::onSerialError);
    connect(&m_tcp, &QTcpSocket::readyRead, this, &LinkTransport::takeTcpBytes);
    connect(&m_tcp, &QTcpSocket::errorOccurred, this, &LinkTransport::onTcpError);
    connect(&m_tcp, &QTcpSocket::disconnected, this, &LinkTransport::onTcpDisconnected);
    connect(&m_tcp, &QTcpSocket::stateChanged, this, &LinkTransport::stateChanged);
    m_ttcomm.start();
}

LinkTransport::~LinkTransport() {
    m_comm.disconnect(this);
    m_tcp.disconnect(this);
    m_ttcomm.disconnect(this);
    m_tcp.abort();
}

bool LinkTransport::openSerial(const LinkEndpoint& endpoint, QString* error) {
    close();
    m_endpoint = endpoint;
    m_comm.setPortName(endpoint.device);
    m_comm.setBaudRate(endpoint.baud);
    m_comm.setDataBits(QSerialPort::Data8);
    m_comm.setParity(QSerialPort::NoParity);
    m_comm.setStopBits(QSerialPort::OneStop);
    m_comm.setFlowControl(QSerialPort::NoFlowControl);
    if (!m_comm.open(QIODevice::ReadWrite)) {
        *error = serialOpenFailureText(endpoint.device, m_comm.error(), m_comm.errorString());
        m_comm.clearError();
        return false;
    }
    return true;
}

void LinkTransport::startConnect(const LinkEndpoint& endpoint) {
    close();
    m_endpoint = endpoint;
    m_failure.clear();
    m_tcpFailed = false;
    m_tcp.connectToHost(endpoint.host, endpoint.port);
}

LinkTransport::ConnectState LinkTransport::connectState() const {
    if (m_tcp.state() == QAbstractSocket::ConnectedState)
        return ConnectState::Connected;
    if (m_tcpFailed || m_tcp.state() == QAbstractSocket::UnconnectedState)
        return ConnectState::Failed;
    return ConnectState::Connecting;
}

QString LinkTransport::failureReason() const {
    return m_failure;
}

bool LinkTransport::isOpenOn(const LinkEndpoint& endpoint) const {
    if (!(endpoint == m_endpoint))
        return false;
    if (endpoint.isSerial())
        return m_comm.isOpen() && m_comm.baudRate() == endpoint.baud &&
               m_comm.dataBits() == QSerialPort::Data8 &&
               m_comm.parity() == QSerialPort::NoParity &&
               m_comm.stopBits() == QSerialPort::OneStop;
    return m_tcp.state() == QAbstractSocket::ConnectedState;
}

bool LinkTransport::isOpen() const {
    return m_comm.isOpen() || m_tcp.state() != QAbstractSocket::UnconnectedState;
}

void LinkTransport::close() {
    if (m_comm.isOpen())
        m_comm.close();
    if (m_tcp.state() != QAbstractSocket::UnconnectedState) {
        m_closing = true; // our own close is no lost connection
        m_tcp.abort();
        m_closing = false;
    }
}

bool LinkTransport::write(const QByteArray& bytes, QString* error) {
    if (m_endpoint.isSerial()) {
        if (!m_comm.isOpen()) {
            *error = QStringLiteral("The serial port is not open.");
            return false;
        }
        if (m_comm.write(bytes) != bytes.size()) {
            *error = m_comm.errorString();
            m_comm.clearError();
            return false;
        }
        return true;
    }
    if (m_tcp.state() != QAbstractSocket::ConnectedState) {
        error->clear(); // the socket is not connected: a silent failure
        return false;
    }
    m_tcp.write(bytes);
    m_tcp.flush();
    return true;
}

qint64 LinkTransport::discardInput() {
    qint64 dropped = 0;
    if (m_comm.isOpen()) {
        dropped += m_comm.readAll().size();
        m_comm.clear(QSerialPort::Input); // what the driver holds but has not handed over
    }
    if (m_tcp.state() == QAbstractSocket::ConnectedState)
        dropped += m_tcp.readAll().size();
    return dropped;
}

void LinkTransport::takeSerialBytes() {
    if (!m_comm.isOpen() || m_comm.bytesAvailable() <= 0)
        return;
    const QByteArray bytes = m_comm.readAll();
    if (!bytes.isEmpty())
        emit received(bytes);
}

void LinkTransport::takeTcpBytes() {
    const QByteArray bytes = m_tcp.readAll();
    if (!bytes.isEmpty())
        emit received(bytes);
}

void LinkTransport::onSerialError(QSerialPort::SerialPortError error) {
    if (error != QSerialPort::ReadError && error != QSerialPort::ResourceError)
        return;
    // A device that hung up keeps failing every read, thousands of times a second: close it.
    // The next OpenLink opens it again. The port's own error text may be left over from an
    // earlier call, so the message names the failure itself.
    m_comm.clearError();
    if (m_comm.isOpen())
        m_comm.close();
    m_failure = QStringLiteral("connection lost");
    emit lost(error == QSerialPort::ResourceError
                  ? QStringLiteral("Serial port %1: the device is no longer available; "
                                   "the port was closed.")
                        .arg(m_endpoint.device)
                  : QStringLiteral("Serial port %1: reading failed; the port was closed.")
                        .arg(m_endpoint.device));
}

void LinkTransport::onTcpError(QAbstractSocket::SocketError error) {
    switch (error) {
    case QAbstractSocket::HostNotFoundError:
        m_failure = QStringLiteral("host not found");
        break;
    case QAbstractSocket::ConnectionRefusedError:
        m_failure = QStringLiteral("connection refused");
        break;
    case QAbstractSocket::RemoteHostClosedError:
        m_failure = QStringLiteral("connection lost");
        break;
    default:
        m_failure = m_tcp.errorString();
        break;
    }
    m_tcpFailed = true;
    emit stateChanged();
}

void LinkTransport::onTcpDisconnected() {
    if (m_closing)
        return;
    m_failure = QStringLiteral("connection lost");
    emit lost(QStringLiteral("The logger at %1 closed the connection.").arg(m_endpoint.text()));
}

} // namespace nodalyx
