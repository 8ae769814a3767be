// nodalyx-bench-probe: the search for a logger among the serial ports, against simulated
// loggers on pseudo-terminals in this process.
//  (a) K silent ports: the search's time divided by K times the 5 s limit (target <= 1.0);
//  (b) K ports that answer: the search's time divided by K times one port's own exchange
//      (open, serial-number request, close) measured alone (target <= 1.1: a port that
//      answers costs its exchange only).
#include "LoggerSim.h"
#include "PortProbe.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTextStream>
#include <memory>
#include <vector>

using namespace nodalyx;

namespace {

constexpr int kPorts = 3;
constexpr double kLimitSeconds = 5.0;

struct Loggers {
    std::vector<std::unique_ptr<sim::LoggerSim>> sims;
    QList<ListedPort> ports;
    bool ok = true;
};

Loggers loggers(int count, bool silent) {
    Loggers l;
    for (int i = 0; i < count; ++i) {
        auto s = std::make_unique<sim::LoggerSim>();
        s->faults().silent = silent;
        l.ok = l.ok && s->openPty();
        ListedPort p;
        p.info.device = s->ptyDevice();
        l.ports << p;
        l.sims.push_back(std::move(s));
    }
    return l;
}

double secondsFor(const QList<ListedPort>& ports, int* answered) {
    QElapsedTimer timer;
    timer.start();
    const QList<ProbeAnswer> answers = probePorts(ports, std::nullopt);
    const double seconds = double(timer.nsecsElapsed()) / 1e9;
    *answered = int(std::count_if(answers.begin(), answers.end(),
                                  [](const ProbeAnswer& a) { return a.serial.has_value(); }));
    return seconds;
}

void benchSilent(QTextStream& out) {
    const Loggers l = loggers(kPorts, true);
    if (!l.ok) {
        out << "(a) no pseudo-terminals" << Qt::endl;
        return;
    }
    int answered = 0;
    const double seconds = secondsFor(l.ports, &answered);
    out << "(a) " << kPorts << " silent ports: " << QString::number(seconds, 'f', 3) << " s, "
        << answered << " answered, ratio to " << kPorts
        << " x 5 s: " << QString::number(seconds / (kPorts * kLimitSeconds), 'f', 3)
        << " (target <= 1.0)" << Qt::endl;
}

void benchAnswering(QTextStream& out) {
    const Loggers l = loggers(kPorts, false);
    if (!l.ok) {
        out << "(b) no pseudo-terminals" << Qt::endl;
        return;
    }
    int answered = 0;
    double single = 0, seconds = 0;
    constexpr int kRounds = 20; // both averaged over as many rounds, interleaved
    for (int i = 0; i < kRounds; ++i) {
        single += secondsFor({l.ports[0]}, &answered) / kRounds;
        seconds += secondsFor(l.ports, &answered) / kRounds;
    }
    out << "(b) " << kPorts << " answering ports: " << QString::number(seconds * 1e3, 'f', 1)
        << " ms, " << answered << " answered; one port alone "
        << QString::number(single * 1e3, 'f', 1) << " ms; ratio "
        << QString::number(seconds / (kPorts * single), 'f', 3) << " (target <= 1.1)" << Qt::endl;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    benchSilent(out);
    benchAnswering(out);
    return 0;
}
