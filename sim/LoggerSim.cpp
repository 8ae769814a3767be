#include "LoggerSim.h"

namespace nodalyx::sim {

namespace {
constexpr int kGrowIntervalMs = 2000;
}

LoggerSim::LoggerSim(QObject* parent) : QObject(parent) {
    connect(&m_server, &QTcpServer::newConnection, this, &LoggerSim::acceptClient);
    connect(&m_pty, &PseudoTerminal::received, this,
            [this](const QByteArray& bytes) { takeBytes(Source::Pty, bytes); });
    m_output.setSink([this](const QByteArray& bytes) { transmit(bytes); });
    m_growTimer.setInterval(kGrowIntervalMs);
    connect(&m_growTimer, &QTimer::timeout, this, [this] { m_state.grow(); });
    setGrowing(m_state.growing);
}

LoggerSim::~LoggerSim() {
    if (m_client)
        m_client->disconnect(this);
}

void LoggerSim::setFaults(const SimFaults& faults) {
    m_faults = faults;
}

void LoggerSim::setGrowing(bool growing) {
    m_state.growing = growing;
    if (growing)
        m_growTimer.start();
    else
        m_growTimer.stop();
}

bool LoggerSim::listenTcp(const QHostAddress& address, quint16 port) {
    if (!m_server.listen(address, port)) {
        m_error = m_server.errorString();
        return false;
    }
    return true;
}

bool LoggerSim::openPty(const QString& linkPath) {
    if (!m_pty.open(linkPath)) {
        m_error = m_pty.errorString();
        return false;
    }
    return true;
}

void LoggerSim::acceptClient() {
    while (QTcpSocket* socket = m_server.nextPendingConnection()) {
        if (m_client) {
            m_client->disconnect(this);
            m_client->abort();
            m_client->deleteLater();
        }
        m_client = socket;
        ++m_connections;
        m_parser.reset();
        m_output.clear();
        connect(socket, &QTcpSocket::readyRead, this,
                [this, socket] { takeBytes(Source::Tcp, socket->readAll()); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
            if (m_client == socket) {
                m_client = nullptr;
                m_output.clear();
                emit clientChanged(false);
            }
            socket->deleteLater();
        });
        emit clientChanged(true);
    }
}

void LoggerSim::closeClient() {
    if (!m_client)
        return;
    QTcpSocket* socket = m_client;
    m_client = nullptr;
    m_output.clear();
    socket->disconnect(this);
    socket->abort();
    socket->deleteLater();
    emit clientChanged(false);
}

void LoggerSim::takeBytes(Source source, const QByteArray& bytes) {
    m_bytesIn += bytes.size();
    m_replyTo = source;
    for (const QByteArray& item : m_parser.feed(bytes)) {
        if (quint8(item.at(0)) == SimPacket::kStart)
            handlePacket(item);
        else
            handleFrame(item);
    }
}

void LoggerSim::hangUp() {
    if (m_replyTo == Source::Tcp)
        closeClient();
    else
        closePty(); // as a cable pulled out
}

void LoggerSim::handlePacket(const QByteArray& bytes) {
    using Kind = PacketFault::Kind;
    SimPacket request;
    SimPacket::decode(bytes, request); // the parser passes only packets whose CRC is right
    m_packets.append(request);
    emit packetRequest(request);
    const std::optional<PacketFault> fault = m_faults.takePacketFault(request.code, request.number);
    const Kind kind = fault ? fault->kind : Kind::Silent;
    if (m_faults.silent || (fault && kind == Kind::Silent))
        return;
    if (fault && kind == Kind::HangUp)
        return hangUp();
    SimPacket reply = FileResponder::refusal(request);
    if (!fault || kind != Kind::Nak) {
        m_files.setFolder(m_state.filesFolder);
        const FileResponder::Answer answer = m_fileResponder.respond(request);
        reply = answer.reply;
        if (!answer.stored.isEmpty())
            emit fileStored(answer.stored);
        if (fault)
            falsifyText(*fault, reply);
    }
    QByteArray out = reply.encode();
    if (fault && kind == Kind::BadCrc)
        out.back() = char(out.back() ^ 0x5A);
    const bool pieces = fault && kind == Kind::Pieces;
    m_output.setPacing(m_faults.baud,
                       pieces ? (fault->value > 0 ? int(fault->value) : 4) : m_faults.chunkSize,
                       pieces ? 20 : m_faults.chunkGapMs);
    const int lateMs =
        fault && kind == Kind::Late ? (fault->value > 0 ? int(fault->value) : 1000) : 0;
    m_output.send(out, m_output.nowNs() + m_output.wireNs(bytes.size()) +
                           qint64(m_faults.delayMs + lateMs) * 1000000);
}

void LoggerSim::falsifyText(const PacketFault& fault, SimPacket& reply) {
    if (fault.kind == PacketFault::Kind::Empty) {
        reply.text1.clear();
    } else if (fault.kind == PacketFault::Kind::Announce && reply.code == SimPacket::kFileRequest &&
               reply.text1 != "NAK") {
        reply.text1 = QByteArray::number(fault.value);
        if (fault.blocks >= 0)
            reply.text2 = QByteArray::number(fault.blocks);
    }
}

void LoggerSim::handleFrame(const QByteArray& frame) {
    m_requests.append(frame);
    emit request(frame);
    const int code = quint8(frame.at(2));
    if (m_faults.silent)
        return;
    if (m_faults.closeCodes.contains(code) && m_replyTo == Source::Tcp) {
        closeClient();
        return;
    }
    const LoggerResponder::Answer answer = m_responder.respond(frame);
    if (answer.changed)
        emit stateChanged();
    const QByteArray reply = SimFaults::noise(m_faults.strayBytes) +
                             m_faults.apply(code, answer.bytes) +
                             SimFaults::noise(m_faults.floodBytes);
    m_output.setPacing(m_faults.baud, m_faults.chunkSize, m_faults.chunkGapMs);
    // A reply starts when the request has fully arrived over the (paced) line.
    const qint64 notBefore =
        m_output.nowNs() + m_output.wireNs(frame.size()) + qint64(m_faults.delayMs) * 1000000;
    if (m_faults.lateByteMs > 0 && reply.size() > 1) {
        m_output.send(reply.chopped(1), notBefore);
        const qint64 lateNs = notBefore - m_output.nowNs() + m_output.wireNs(reply.size()) +
                              qint64(m_faults.lateByteMs) * 1000000;
        QTimer::singleShot(int(lateNs / 1000000), this,
                           [this, last = reply.right(1)] { m_output.send(last); });
        return;
    }
    m_output.send(reply, notBefore);
}

void LoggerSim::transmit(const QByteArray& bytes) {
    m_bytesOut += bytes.size();
    emit replied(bytes);
    if (m_replyTo == Source::Pty)
        m_pty.write(bytes);
    else if (m_client)
        m_client->write(bytes);
}

QStringList LoggerSim::packetLog() const {
    QStringList log;
    for (const SimPacket& p : m_packets)
        log << QStringLiteral("%1:%2").arg(p.code).arg(p.number);
    return log;
}

QList<int> LoggerSim::requestCodes() const {
    QList<int> codes;
    for (const QByteArray& f : m_requests)
        codes << quint8(f.at(2));
    return codes;
}

} // namespace nodalyx::sim
