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
    for (const QByteArray& frame : m_parser.feed(bytes))
        handleFrame(frame);
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

QList<int> LoggerSim::requestCodes() const {
    QList<int> codes;
    for (const QByteArray& f : m_requests)
        codes << quint8(f.at(2));
    return codes;
}

} // namespace nodalyx::sim
