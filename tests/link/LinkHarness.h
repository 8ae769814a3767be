#pragma once

#include "Link.h"
#include "LoggerSession.h"
#include "LoggerSim.h"
#include "ScriptedOperator.h"
#include "SharedState.h"
#include "TempDir.h"

#include <QString>
#include <QStringList>
#include <QTcpServer>
#include <memory>
#include <ostream>

inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

namespace nodalyx::test {

// Short time limits (reply, ack, connect, poll): failure paths stay quick.
inline LinkTimeouts shortTimeouts() {
    return {400, 300, 400, 100};
}

inline void pointAtTcp(SharedState& state, quint16 port) {
    state.settings.ConnType = 2;
    state.settings.IPnumber = QStringLiteral("127.0.0.1");
    state.settings.Portnumber = QString::number(port);
}

// A loopback port nobody listens on.
inline quint16 closedPort() {
    QTcpServer probe;
    return probe.listen(QHostAddress::LocalHost) ? probe.serverPort() : 0;
}

// Live1, Live2, In1, Out1, In2, Out2 of a unit.
inline QStringList countsOf(const UnitConfig& u) {
    return {u.Live1, u.Live2, u.In1, u.Out1, u.In2, u.Out2};
}

// The general settings the simulated logger holds from the start, as a location would hold
// them after a read-out (its location name "Simulator").
inline void holdSimulatorSettings(GeneralSettings& s) {
    s.LocationCode = "SIM01";
    s.LocationName = "Simulator";
    s.LocationPlace = "Bench";
    s.Days.fill("07002200");
    s.Interval = "15";
    s.eIPaddress = QStringList{"192", "168", "1", "10"};
    s.eSubnetmask = QStringList{"255", "255", "255", "0"};
    s.eGateway = QStringList{"192", "168", "1", "1"};
    s.ePortnumber = "3101";
    s.eHostname = "NODALYX-LOGGER";
}

// A link and a simulated logger in this process: over TCP loopback, or a pseudo-terminal
// reached as serial port 7 through NODALYX_COM7.
struct Harness {
    explicit Harness(bool serial = false) {
        sim.setGrowing(false);
        if (serial) {
            ok = sim.openPty();
            qputenv("NODALYX_COM7", sim.ptyDevice().toLocal8Bit());
            state.settings.ConnType = 1;
            state.settings.Comport = 7.2f; // rounded to the nearest port number
        } else {
            ok = sim.listenTcp();
            pointAtTcp(state, sim.tcpPort());
        }
        link = std::make_unique<Link>(state.settings);
        tellNotices(*link, op);
        link->setTimeouts(shortTimeouts());
    }
    ~Harness() {
        link.reset();
        qunsetenv("NODALYX_COM7");
    }
    bool ok = false;
    SharedState state;
    ScriptedOperator op;
    sim::LoggerSim sim;
    std::unique_ptr<Link> link;
};

} // namespace nodalyx::test
