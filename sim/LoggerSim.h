#pragma once

#include "FrameParser.h"
#include "LoggerResponder.h"
#include "LoggerState.h"
#include "PacedOutput.h"
#include "PseudoTerminal.h"
#include "SimFaults.h"

#include <QHostAddress>
#include <QObject>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

namespace nodalyx::sim {

// The simulated datalogger. It listens on TCP and/or a pseudo-terminal, answers request
// frames from its state and shows the faults it is told to. One client at a time: a new TCP
// connection replaces the previous one. Runs on the thread's event loop, so tests can run it
// in the same process as the tool.
class LoggerSim : public QObject {
    Q_OBJECT
public:
    explicit LoggerSim(QObject* parent = nullptr);
    ~LoggerSim() override;

    LoggerState& state() { return m_state; }
    SimFaults& faults() { return m_faults; }
    void setFaults(const SimFaults& faults);
    void setGrowing(bool growing);

    bool listenTcp(const QHostAddress& address = QHostAddress::LocalHost, quint16 port = 0);
    quint16 tcpPort() const { return m_server.serverPort(); }
    bool openPty(const QString& linkPath = {});
    QString ptyDevice() const { return m_pty.devicePath(); }
    QString errorString() const { return m_error; }

    // Drops the TCP client (as a logger that hangs up).
    void closeClient();
    int connections() const { return m_connections; }
    bool clientConnected() const { return m_client != nullptr; }

    // Every request frame taken, in order (the simulator's own log).
    const QList<QByteArray>& requests() const { return m_requests; }
    QList<int> requestCodes() const;
    void clearLog() { m_requests.clear(); }
    qint64 bytesIn() const { return m_bytesIn; }
    qint64 bytesOut() const { return m_bytesOut; }

signals:
    void request(const QByteArray& frame);
    void replied(const QByteArray& bytes);
    void stateChanged(); // a setting was stored
    void clientChanged(bool connected);

private:
    enum class Source { Tcp, Pty };
    void acceptClient();
    void takeBytes(Source source, const QByteArray& bytes);
    void handleFrame(const QByteArray& frame);
    void transmit(const QByteArray& bytes);

    LoggerState m_state = LoggerState::withDefaults();
    LoggerResponder m_responder{m_state};
    SimFaults m_faults;
    FrameParser m_parser;
    PacedOutput m_output;
    QTcpServer m_server;
    QPointer<QTcpSocket> m_client;
    PseudoTerminal m_pty;
    QTimer m_growTimer;
    Source m_replyTo = Source::Tcp;
    QList<QByteArray> m_requests;
    QString m_error;
    int m_connections = 0;
    qint64 m_bytesIn = 0;
    qint64 m_bytesOut = 0;
};

} // namespace nodalyx::sim
