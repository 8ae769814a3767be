// nodalyx-bench-link: measures the link against the simulated logger in this process.
//  (a) counter read-out over TCP loopback: time per request;
//  (b) counter read-out over a pseudo-terminal, the simulator pacing its output at 19200
//      baud: elapsed time divided by the wire time of every byte both ways (target <= 1.10);
//  (c) process CPU time during an unanswered 5-second wait divided by 5 s (target <= 0.01).
#include "BenchSupport.h"
#include "CounterReadout.h"
#include "Link.h"
#include "LoggerSim.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTextStream>
#include <ctime>

using namespace nodalyx;
using nodalyx::bench::QuietOperator;

namespace {

// Processor time of the whole process, all threads.
double cpuSeconds() {
    return double(std::clock()) / CLOCKS_PER_SEC;
}

constexpr int kRequestsPerRefresh = 4; // two serial-number requests, two memory reads

// A logger with fixed counts on a loopback port, and a location that points at it.
void listenOnLoopback(sim::LoggerSim& logger, SharedState& state) {
    logger.setGrowing(false);
    logger.listenTcp();
    state.settings.ConnType = 2;
    state.settings.IPnumber = QStringLiteral("127.0.0.1");
    state.settings.Portnumber = QString::number(logger.tcpPort());
}

struct Rounds {
    int complete = 0;
    double seconds = 0;
};

// Runs the given number of counter read-outs and times them together.
Rounds timedRefreshes(SharedState& state, Link& link, Operator& op, int rounds) {
    Rounds r;
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < rounds; ++i)
        r.complete += RefreshFromLogger(state, link, op).highway2Read ? 1 : 0;
    r.seconds = double(timer.nsecsElapsed()) / 1e9;
    return r;
}

void benchTcp(QTextStream& out) {
    sim::LoggerSim logger;
    SharedState state;
    listenOnLoopback(logger, state);
    QuietOperator op;
    Link link(state.settings);
    const int rounds = 50;
    const Rounds r = timedRefreshes(state, link, op, rounds);
    const double ms = r.seconds * 1e3;
    out << "(a) TCP loopback: " << rounds << " read-outs (" << r.complete << " complete), "
        << QString::number(ms / (rounds * kRequestsPerRefresh), 'f', 3)
        << " ms per request (connect and close included)" << Qt::endl;
}

void benchPty(QTextStream& out) {
    sim::LoggerSim logger;
    logger.setGrowing(false);
    SharedState state;
    if (!bench::pacedPty(logger, state, out, "(b)"))
        return;
    QuietOperator op;
    Link link(state.settings);
    const int rounds = 3;
    const Rounds r = timedRefreshes(state, link, op, rounds);
    out << "(b) pseudo-terminal at 19200 baud: " << rounds << " read-outs (" << r.complete
        << " complete), ";
    bench::printWireRatio(out, logger, r.seconds);
}

void benchIdleWait(QTextStream& out) {
    sim::LoggerSim logger;
    SharedState state;
    listenOnLoopback(logger, state);
    logger.faults().silent = true;
    QuietOperator op;
    Link link(state.settings);
    if (!link.OpenLink() || !link.SendCommand(Command::of(59))) {
        out << "(c) could not reach the simulator" << Qt::endl;
        return;
    }
    const double cpu0 = cpuSeconds();
    QElapsedTimer timer;
    timer.start();
    const bool answered = link.WaitReply(13);
    const double wall = double(timer.nsecsElapsed()) / 1e9;
    const double cpu = cpuSeconds() - cpu0;
    link.CloseLink();
    out << "(c) unanswered wait: " << (answered ? "answered (unexpected)" : "no answer")
        << " after " << QString::number(wall, 'f', 3) << " s, CPU "
        << QString::number(cpu * 1000.0, 'f', 2) << " ms, ratio "
        << QString::number(cpu / 5.0, 'f', 5) << " (target <= 0.01)" << Qt::endl;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    benchTcp(out);
    benchPty(out);
    benchIdleWait(out);
    return 0;
}
