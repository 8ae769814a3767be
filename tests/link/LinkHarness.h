#pragma once

#include "Link.h"
#include "LoggerSim.h"
#include "ScriptedOperator.h"
#include "SharedState.h"

#include <QByteArray>
#include <QString>
#include <memory>
#include <ostream>

// Readable QString values in test failure output.
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

namespace nodalyx::test {

// Short time limits so the failure paths of the suite stay quick.
inline LinkTimeouts shortTimeouts() {
    LinkTimeouts t;
    t.replyMs = 400;
    t.ackMs = 300;
    t.connectMs = 400;
    t.pollMs = 100;
    t.serialSettleMs = 60;
    return t;
}

// A tool-side link and a simulated logger in the same process, over TCP loopback.
struct TcpHarness {
    TcpHarness();
    SharedState state;
    ScriptedOperator op;
    sim::LoggerSim sim;
    std::unique_ptr<Link> link;
};

// The same over a pseudo-terminal, reached as serial port 7 through NODALYX_COM7.
struct PtyHarness {
    PtyHarness();
    ~PtyHarness();
    bool ok = false;
    SharedState state;
    ScriptedOperator op;
    sim::LoggerSim sim;
    std::unique_ptr<Link> link;
};

// "FF 3B ..." -> bytes.
QByteArray hexBytes(const char* hex);

} // namespace nodalyx::test
