#include "FileTransferLink.h"

#include "SerialPortName.h"

#include <QtMath>

namespace nodalyx {

namespace {
constexpr int kHighestComport = 255;

QString holderName() {
    return QStringLiteral("the file transfer");
}

PacketTrace traceOf(bool sent, const TransferPacket& p, const QByteArray& raw,
                    const QString& verdict) {
    return {sent,       true,    p.code, p.number, int(p.text1.size()), int(p.text2.size()),
            raw.size(), verdict, raw};
}
} // namespace

FileTransferLink::FileTransferLink(Link* link, QObject* parent) : QObject(parent), m_link(link) {
    connect(&m_transport, &LinkTransport::received, this, &FileTransferLink::received);
    connect(&m_transport, &LinkTransport::lost, this, [this] {
        m_lost = true;
        m_wait.wake();
    });
    const auto wake = [this] { m_wait.wake(); };
    connect(&m_transport, &LinkTransport::stateChanged, this, wake);
    connect(&m_transport.tcp(), &QTcpSocket::bytesWritten, this, wake);
    connect(&m_transport.serial(), &QSerialPort::bytesWritten, this, wake);
}

FileTransferLink::~FileTransferLink() {
    m_transport.disconnect(this);
    m_transport.tcp().disconnect(this);
    m_transport.serial().disconnect(this);
    m_transport.close();
    m_lease.release();
}

bool FileTransferLink::event(QEvent* e) {
    // A deferred delete during a wait would pull the component away under its caller.
    if (m_wait.holdDeferredDelete(e))
        return true;
    return QObject::event(e);
}

int FileTransferLink::scaled(int ms) const {
    return int(std::lround(ms * m_timeScale));
}

// ---- opening and closing ----

void FileTransferLink::Configure(quint8 replySeconds, quint8 completeSeconds, quint8 layout) {
    m_times.replyMs = replySeconds * 1000;
    m_times.completeMs = completeSeconds * 1000;
    m_layout = layout;
}

qint16 FileTransferLink::prepareOpen() {
    if (isBusy())
        return transfer::Busy;
    closeAll();
    m_lost = false;
    m_cancel = false;
    m_lastFailure.clear();
    if (m_layout != 1)
        return openFailed(transfer::BadArgument,
                          QStringLiteral("Packet layout %1 is not known.").arg(m_layout));
    if (m_link) {
        QString why;
        m_lease = m_link->TakeLease(holderName(), &why);
        if (!m_lease)
            return openFailed(transfer::PortInUse, why);
    }
    return transfer::Ok;
}

qint16 FileTransferLink::openFailed(qint16 status, const QString& why) {
    closeAll();
    m_lastFailure = why;
    return status;
}

qint16 FileTransferLink::OpenSerial(float comport, const QString& settings, int handshaking) {
    if (const qint16 s = prepareOpen(); s != transfer::Ok)
        return s;
    const double number = comport;
    if (!(number >= 0.5 && number < kHighestComport + 0.5)) // also refuses NaN
        return openFailed(transfer::BadArgument,
                          QStringLiteral("The location names no serial port (Comport %1).")
                              .arg(QString::number(number)));
    const std::optional<SerialLine> line = parseSerialLine(settings);
    const std::optional<QSerialPort::FlowControl> flow = flowControlFor(handshaking);
    if (!line || !flow)
        return openFailed(transfer::BadArgument,
                          QStringLiteral("The serial settings \"%1\" with handshaking %2 are "
                                         "not usable.")
                              .arg(settings)
                              .arg(handshaking));
    LinkEndpoint endpoint;
    endpoint.kind = LinkEndpoint::Kind::Serial;
    endpoint.device = serialPortName(qRound(number));
    endpoint.baud = line->baud;
    QString error;
    if (!m_transport.openSerial(endpoint, &error))
        return openFailed(transfer::OpenFailed, error);
    QSerialPort& port = m_transport.serial();
    port.setParity(line->parity);
    port.setDataBits(line->dataBits);
    port.setStopBits(line->stopBits);
    port.setFlowControl(*flow);
    m_times.sendMs = TransferTimes{}.sendMs;
    return transfer::Ok;
}

qint16 FileTransferLink::OpenTcp(const QString& host, const QString& port, double connectSeconds,
                                 int localPort, double sendSeconds) {
    if (const qint16 s = prepareOpen(); s != transfer::Ok)
        return s;
    bool ok = false;
    const int number = port.trimmed().toInt(&ok);
    if (!ok || number < 1 || number > 65535)
        return openFailed(
            transfer::BadArgument,
            QStringLiteral("The port number \"%1\" is not a number from 1 to 65535.").arg(port));
    const std::optional<int> connectMs = secondsToMs(connectSeconds);
    const std::optional<int> sendMs = secondsToMs(sendSeconds);
    if (!connectMs || !sendMs || localPort != 0)
        return openFailed(transfer::BadArgument,
                          QStringLiteral("The connection times %1 s and %2 s or the local port "
                                         "%3 are not usable.")
                              .arg(connectSeconds)
                              .arg(sendSeconds)
                              .arg(localPort));
    m_times.connectMs = *connectMs;
    m_times.sendMs = *sendMs;
    LinkEndpoint endpoint;
    endpoint.kind = LinkEndpoint::Kind::Tcp;
    endpoint.host = host.trimmed();
    endpoint.port = quint16(number);
    return connectTcp(endpoint);
}

qint16 FileTransferLink::connectTcp(const LinkEndpoint& endpoint) {
    m_transport.startConnect(endpoint);
    const WaitResult waited = waitUntil(
        [this] { return m_transport.connectState() != LinkTransport::ConnectState::Connecting; },
        scaled(m_times.connectMs));
    if (waited == WaitResult::Destroyed)
        return transfer::OpenFailed;
    if (m_transport.connectState() == LinkTransport::ConnectState::Connected && !m_cancel)
        return transfer::Ok;
    QString reason = m_transport.failureReason();
    if (m_cancel)
        reason = QStringLiteral("cancelled");
    else if (reason.isEmpty())
        reason =
            QStringLiteral("no connection within %1 s").arg(scaled(m_times.connectMs) / 1000.0);
    return openFailed(m_cancel ? transfer::Cancelled : transfer::OpenFailed,
                      QStringLiteral("%1: %2").arg(endpoint.text(), reason));
}

bool FileTransferLink::SerialIsOpen() const {
    // Opening one side closes the other, so the transport is open on this side only.
    return m_transport.endpoint().isSerial() && m_transport.isOpen();
}

bool FileTransferLink::TcpIsConnected() const {
    return !m_transport.endpoint().isSerial() &&
           m_transport.connectState() == LinkTransport::ConnectState::Connected;
}

bool FileTransferLink::isOpen() const {
    return SerialIsOpen() || TcpIsConnected();
}

void FileTransferLink::closeAll() {
    m_transport.close();
    m_lease.release();
    m_reader.clear();
    if (isBusy()) { // closed under a running wait: end it
        m_lost = true;
        m_wait.wake();
    }
}

void FileTransferLink::CloseSerial() {
    closeAll();
}

qint16 FileTransferLink::CloseTcp() {
    closeAll();
    return transfer::Ok;
}

void FileTransferLink::requestCancel() {
    m_cancel = true;
    m_wait.wake();
}

// ---- packets ----

qsizetype FileTransferLink::pendingOutput() {
    if (SerialIsOpen())
        return m_transport.serial().bytesToWrite();
    if (TcpIsConnected())
        return m_transport.tcp().bytesToWrite();
    return 0;
}

qint16 FileTransferLink::SendPacket(quint8 code, qint32 number, const QByteArray& text1,
                                    const QByteArray& text2) {
    if (isBusy())
        return transfer::Busy;
    if (m_cancel)
        return transfer::Cancelled;
    if (!isOpen())
        return transfer::NotOpen;
    const TransferPacket packet{code, quint32(number), text1, text2};
    const QByteArray bytes = encodePacket(packet);
    if (bytes.isEmpty())
        return transfer::BadArgument;
    m_lastSent = packet.number;
    m_reader.keepWholePackets();
    traceSeen();
    QString error;
    if (!m_transport.write(bytes, &error))
        return transfer::SendFailed;
    const quint16 crc = quint16((quint8(bytes.at(bytes.size() - 2)) << 8) | quint8(bytes.back()));
    emit traced(traceOf(true, packet, bytes,
                        QStringLiteral("CRC %1").arg(crc, 4, 16, QLatin1Char('0')).toUpper()));
    if (pendingOutput() == 0)
        return transfer::Ok;
    const WaitResult waited =
        waitUntil([this] { return pendingOutput() == 0; }, scaled(m_times.sendMs));
    if (waited == WaitResult::Destroyed)
        return transfer::SendFailed;
    if (waited == WaitResult::Met)
        return transfer::Ok;
    return m_cancel ? transfer::Cancelled : transfer::SendFailed;
}

void FileTransferLink::ReplyDelay(double seconds) {
    if (const std::optional<int> ms = secondsToMs(seconds))
        m_times.replyMs = *ms;
}

qint16 FileTransferLink::ReceiveReply(quint8& code, qint32& number, QByteArray& data,
                                      QByteArray& count) {
    if (isBusy())
        return transfer::Busy;
    if (m_cancel)
        return transfer::Cancelled;
    PacketReader::Result result;
    const auto done = [this, &result] {
        result = m_reader.take(m_lastSent);
        traceSeen();
        return result.outcome != PacketReader::Result::Outcome::None;
    };
    m_junk = false;
    if (!done() && isOpen()) {
        m_awaitingFirstByte = true;
        if (waitUntil(done, scaled(m_times.replyMs)) == WaitResult::Destroyed)
            return transfer::ConnectionLost;
        m_awaitingFirstByte = false;
    }
    if (result.outcome != PacketReader::Result::Outcome::Reply)
        return afterWait(result);
    code = result.packet.code;
    number = qint32(result.packet.number);
    data = result.packet.text1;
    count = result.packet.text2;
    return transfer::Ok;
}

qint16 FileTransferLink::afterWait(const PacketReader::Result& result) const {
    if (result.outcome == PacketReader::Result::Outcome::BadCrc)
        return transfer::BadReply;
    if (m_cancel)
        return transfer::Cancelled;
    if (m_lost)
        return transfer::ConnectionLost;
    if (!isOpen())
        return transfer::NotOpen;
    return m_junk || !m_reader.isEmpty() ? transfer::BadReply : transfer::NoReply;
}

void FileTransferLink::received(const QByteArray& bytes) {
    m_reader.feed(bytes);
    if (m_awaitingFirstByte) {
        // The reply has begun: give it the time to arrive whole.
        m_awaitingFirstByte = false;
        const int completeMs = scaled(m_times.completeMs);
        if (m_wait.deadline().remainingTime() < completeMs)
            m_wait.setDeadline(QDeadlineTimer(completeMs, Qt::PreciseTimer));
    }
    m_wait.wake();
}

void FileTransferLink::traceSeen() {
    for (const PacketReader::Seen& seen : m_reader.takeSeen()) {
        if (seen.verdict == PacketReader::Seen::Verdict::Noise ||
            seen.verdict == PacketReader::Seen::Verdict::BadCrc)
            m_junk = true;
        if (seen.verdict == PacketReader::Seen::Verdict::Noise)
            emit traced(
                {false, false, 0, 0, 0, 0, seen.bytes, verdictText(seen.verdict), seen.raw});
        else
            emit traced(traceOf(false, seen.packet, seen.raw, verdictText(seen.verdict)));
    }
}

// ---- waiting ----

WaitResult FileTransferLink::waitUntil(const std::function<bool()>& done, int timeoutMs) {
    return m_wait.waitFor(done, timeoutMs, [this] { return m_lost || m_cancel; });
}

} // namespace nodalyx
