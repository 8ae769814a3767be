// nodalyx-bench-monitor: measures monitoring (CounterMonitor, both highways, every unit of both
// highways active with two channels, the reads kept in a CountHistory as the chart keeps them).
// The simulated logger runs as another process (nodalyx-loggersim), so its work does not count.
//  (a) a read every 1000 ms over TCP loopback for 60 s (--seconds N for fewer): CPU seconds of
//      this process per wall second (target under 0.01, 1% of one core);
//  (b) over a pseudo-terminal, the simulator pacing its output at 19200 baud: the time of a
//      read of both highways (two requests of 11 bytes, two replies of 772 bytes) divided by
//      its wire time at 10 bits a byte (target at most 1.10).
//
// nodalyx-bench-monitor [--seconds N] [--reads N] [--sim PATH]
#include "BenchSupport.h"
#include "CountHistory.h"
#include "CounterMonitor.h"
#include "Link.h"
#include "LoggerCodes.h"
#include "LoggerReplies.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextStream>
#include <ctime>

using namespace nodalyx;
using nodalyx::bench::QuietOperator;

namespace {

const QString kSerial = QStringLiteral("NX00424242");

// Processor time of the whole process, all threads.
double cpuSeconds() {
    return double(std::clock()) / CLOCKS_PER_SEC;
}

// Every unit of both highways in use, with a unit code: 128 units, 256 channels.
void activateAllUnits(SharedState& state) {
    for (int hw = 1; hw <= 2; ++hw)
        for (int i = 1; i <= kUnitsPerHighway; ++i) {
            UnitConfig& unit = state.table(hw)[i];
            unit.Active = true;
            unit.HWaddress = QStringLiteral("0123456789AB");
            unit.Name1 = QStringLiteral("Unit %1").arg(i - 1);
        }
    state.settings.eSerialnumber = kSerial;
}

struct Run {
    QList<MonitorRead> reads;
    std::optional<CounterMonitor::End> end;
    double wallSeconds = 0;
    double cpuSeconds = 0;
};

// Runs the monitor for `count` reads every intervalMs; `onRead` sees each read as it comes.
Run monitor(SharedState& state, Link& link, int intervalMs, int count,
            const std::function<void(const MonitorRead&)>& onRead = {}) {
    QuietOperator op;
    CounterMonitor monitor(state, link, op);
    CountHistory history;
    Run run;
    QEventLoop loop;
    QObject::connect(&monitor, &CounterMonitor::readDone, &loop, [&](const MonitorRead& read) {
        history.add(read);
        if (onRead)
            onRead(read);
        run.reads << read;
    });
    QObject::connect(&monitor, &CounterMonitor::finished, &loop, [&](CounterMonitor::End end) {
        run.end = end;
        loop.quit();
    });
    const double cpu0 = cpuSeconds();
    QElapsedTimer timer;
    timer.start();
    if (!monitor.start(intervalMs, count))
        return run;
    loop.exec();
    run.wallSeconds = double(timer.nsecsElapsed()) / 1e9;
    run.cpuSeconds = cpuSeconds() - cpu0;
    return run;
}

// The number of failed reads; each failure is printed on stderr with its read's number.
int failedReads(const Run& run) {
    int failed = 0;
    for (const MonitorRead& read : run.reads)
        if (!read.ok) {
            ++failed;
            QTextStream(stderr) << "read " << read.number << " failed: " << read.failure
                                << Qt::endl;
        }
    if (run.end == CounterMonitor::End::Failures)
        QTextStream(stderr) << CounterMonitor::failuresText() << Qt::endl;
    return failed;
}

// Starts the simulator program with `arguments` and waits for the line it prints when it is
// ready ("tcp 127.0.0.1:PORT", "pty LINK -> DEVICE"); the first group of `ready`, or nothing
// (the reason printed).
QString startSimulator(QProcess& sim, const QString& program, const QStringList& arguments,
                       const QString& ready, QTextStream& out, const char* label) {
    sim.setProgram(program);
    sim.setArguments(arguments + QStringList{QStringLiteral("--serial"), kSerial});
    sim.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    sim.start();
    const QRegularExpression line(ready);
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < 10000 && sim.waitForReadyRead(10000)) {
        while (sim.canReadLine()) {
            const QRegularExpressionMatch m = line.match(QString::fromLocal8Bit(sim.readLine()));
            if (m.hasMatch())
                return m.captured(1);
        }
    }
    out << label << " the simulator " << program << " did not start: " << sim.errorString()
        << Qt::endl;
    return {};
}

void stopSimulator(QProcess& sim) {
    if (sim.state() != QProcess::Running) {
        QTextStream(stderr) << "the simulator ended early: "
                            << (sim.exitStatus() == QProcess::CrashExit
                                    ? QStringLiteral("crashed")
                                    : QStringLiteral("exit status %1").arg(sim.exitCode()))
                            << Qt::endl;
        return;
    }
    sim.terminate();
    if (!sim.waitForFinished(5000))
        sim.kill();
}

void benchTcp(QTextStream& out, const QString& simProgram, int seconds) {
    QProcess sim;
    const QString port =
        startSimulator(sim, simProgram, {QStringLiteral("--tcp"), QStringLiteral("127.0.0.1:0")},
                       QStringLiteral("^tcp [0-9.]+:([0-9]+)"), out, "(a)");
    if (port.isEmpty())
        return;
    SharedState state;
    activateAllUnits(state);
    state.settings.ConnType = 2;
    state.settings.IPnumber = QStringLiteral("127.0.0.1");
    state.settings.Portnumber = port;
    Link link(state.settings);
    const Run run =
        monitor(state, link, 1000, seconds + 1); // the first read at 0 s, the last at N s
    stopSimulator(sim);
    const double ratio = run.wallSeconds > 0 ? run.cpuSeconds / run.wallSeconds : 0;
    out << "(a) TCP loopback, a read every 1000 ms: " << run.reads.size() << " reads ("
        << failedReads(run) << " failed, " << run.reads.value(0).rows.size()
        << " channels each) in " << QString::number(run.wallSeconds, 'f', 1) << " s, CPU "
        << QString::number(run.cpuSeconds, 'f', 3) << " s, CPU per wall second "
        << QString::number(ratio, 'f', 4)
        << " (target < 0.01): " << (ratio < 0.01 && !run.reads.isEmpty() ? "met" : "NOT met")
        << Qt::endl;
}

void benchPty(QTextStream& out, const QString& simProgram, int reads) {
    QTemporaryDir dir;
    QProcess sim;
    const QString ptyLink = dir.filePath(QStringLiteral("ttyLOGGER"));
    if (startSimulator(sim, simProgram,
                       {QStringLiteral("--pty"), ptyLink, QStringLiteral("--baud"),
                        QString::number(bench::kBaud)},
                       QStringLiteral("^pty (.+) -> "), out, "(b)")
            .isEmpty())
        return;
    SharedState state;
    activateAllUnits(state);
    qputenv("NODALYX_COM9", ptyLink.toLocal8Bit());
    state.settings.ConnType = 1;
    state.settings.Comport = 9;
    Link link(state.settings);
    // The bytes of each read, both ways, as the link sent and received them.
    qint64 bytesNow = 0;
    QObject::connect(&link, &Link::traffic, &link,
                     [&](bool, const QByteArray& bytes) { bytesNow += bytes.size(); });
    qint64 bytesBefore = 0;
    QList<qint64> bytes;
    const Run run = monitor(state, link, 0, reads + 1, [&](const MonitorRead& read) {
        if (read.number > 1)
            bytes << bytesNow - bytesBefore;
        bytesBefore = bytesNow;
    });
    stopSimulator(sim);
    // The first read is left out: the serial-number check's bytes come just before it.
    double elapsed = 0;
    double wire = 0;
    for (int i = 1; i < run.reads.size(); ++i) {
        elapsed += double(run.reads[i].durationMs) / 1000.0;
        wire += double(bytes.value(i - 1)) * 10.0 / bench::kBaud;
    }
    const int measured = int(run.reads.size()) - 1;
    const double ratio = wire > 0 ? elapsed / wire : 0;
    const qint64 expected = 2 * (kFrameSize + kCounterReplySize);
    out << "(b) pseudo-terminal at 19200 baud: " << measured << " reads (" << failedReads(run)
        << " failed), " << (measured > 0 ? bytes.value(0) : 0) << " bytes a read (expected "
        << expected << "), wire time " << QString::number(wire / qMax(1, measured), 'f', 3)
        << " s, elapsed " << QString::number(elapsed / qMax(1, measured), 'f', 3)
        << " s a read, ratio " << QString::number(ratio, 'f', 3)
        << " (target <= 1.10): " << (ratio > 0 && ratio <= 1.10 ? "met" : "NOT met") << Qt::endl;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Measures monitoring against the simulated logger and prints ratios."));
    parser.addHelpOption();
    const QCommandLineOption seconds(QStringLiteral("seconds"),
                                     QStringLiteral("Length of the TCP run (default 60)."),
                                     QStringLiteral("N"), QStringLiteral("60"));
    const QCommandLineOption reads(QStringLiteral("reads"),
                                   QStringLiteral("Reads over the pseudo-terminal (default 3)."),
                                   QStringLiteral("N"), QStringLiteral("3"));
    const QCommandLineOption sim(QStringLiteral("sim"),
                                 QStringLiteral("The simulator program for the TCP run."),
                                 QStringLiteral("PATH"), QStringLiteral(NODALYX_LOGGERSIM_PATH));
    parser.addOptions({seconds, reads, sim});
    parser.process(app);
    QTextStream out(stdout);
    benchTcp(out, parser.value(sim), qMax(1, parser.value(seconds).toInt()));
    benchPty(out, parser.value(sim), qMax(1, parser.value(reads).toInt()));
    return 0;
}
