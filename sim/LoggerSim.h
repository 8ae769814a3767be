#pragma once

#include "FileResponder.h"
#include "FrameParser.h"
#include "LoggerFiles.h"
#include "LoggerResponder.h"
#include "LoggerState.h"
#include "PacedOutput.h"
#include "PseudoTerminal.h"
#include "SimFaults.h"
#include "SimPacket.h"

#include <QHostAddress>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

namespace nodalyx::sim {

// The simulated datalogger. It listens on TCP and/or a pseudo-terminal, answers request
// frames from its state and file-transfer packets from its files folder (on the same port),
// and shows the faults it is told to. One client at a time: a new TCP
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
    // Closes the pseudo-terminal (as a serial cable pulled out).
    void closePty() { m_pty.close(); }
    QString errorString() const { return m_error; }

    // Drops the TCP client (as a logger that hangs up).
    void closeClient();
    int connections() const { return m_connections; }
    bool clientConnected() const { return m_client != nullptr; }

    // Every request frame taken, in order (the simulator's own log).
    const QList<QByteArray>& requests() const { return m_requests; }
    QList<int> requestCodes() const;
    // Every transfer packet taken, in order.
    const QList<SimPacket>& packets() const { return m_packets; }
    // "code:number" of each packet taken, e.g. {"11:0", "6:1"}.
    QStringList packetLog() const;
    void clearLog() {
        m_requests.clear();
        m_packets.clear();
    }
    // The answers to transfer packets (block size).
    FileResponder& fileResponder() { return m_fileResponder; }
    qint64 bytesIn() const { return m_bytesIn; }
    qint64 bytesOut() const { return m_bytesOut; }

signals:
    void request(const QByteArray& frame);
    void packetRequest(const SimPacket& packet);
    void fileStored(const QString& name); // an upload stored this file in the files folder
    void replied(const QByteArray& bytes);
    void stateChanged(); // a setting was stored
    void clientChanged(bool connected);

private:
    enum class Source { Tcp, Pty };
    void acceptClient();
    void takeBytes(Source source, const QByteArray& bytes);
    void handleFrame(const QByteArray& frame);
    void handlePacket(const QByteArray& bytes);
    // The empty and announce faults: the reply's texts as the fault has them.
    static void falsifyText(const PacketFault& fault, SimPacket& reply);
    void hangUp();
    void transmit(const QByteArray& bytes);

    LoggerState m_state = LoggerState::withDefaults();
    LoggerResponder m_responder{m_state};
    LoggerFiles m_files;
    FileResponder m_fileResponder{m_files};
    SimFaults m_faults;
    FrameParser m_parser;
    PacedOutput m_output;
    QTcpServer m_server;
    QPointer<QTcpSocket> m_client;
    PseudoTerminal m_pty;
    QTimer m_growTimer;
    Source m_replyTo = Source::Tcp;
    QList<QByteArray> m_requests;
    QList<SimPacket> m_packets;
    QString m_error;
    int m_connections = 0;
    qint64 m_bytesIn = 0;
    qint64 m_bytesOut = 0;
};

} // namespace nodalyx::sim
