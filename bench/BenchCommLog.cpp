// nodalyx-bench-commlog: the main window (offscreen) with the communication log open while
// 100 lines a second arrive (a request frame and a full counter reply of 772 bytes in turn,
// formatted as the recorder formats them). A 10 ms timer measures the event loop: how late
// each of its ticks comes, max and 99th percentile, against the 50 ms target; the same run
// without the log window gives the base line.
#include "BenchSupport.h"
#include "CommandFrame.h"
#include "FrmCommLog.h"
#include "FrmMain.h"
#include "LoggerCodes.h"
#include "LoggerReplies.h"
#include "TrafficLog.h"
#include "TrafficLogBuffer.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <vector>

using namespace nodalyx;

namespace {

constexpr int kLinesPerSecond = 100;
constexpr int kProbeMs = 10;
constexpr double kTargetMs = 50.0;

struct Lateness {
    double maxMs = 0;
    double p99Ms = 0;
    qint64 lines = 0;
};

TrafficEntry entryNumber(qint64 n) {
    TrafficEntry e;
    e.time = QDateTime::currentDateTime();
    e.name = commandName(cmd::ReadMemory);
    if (n % 2 == 0) {
        e.direction = TrafficDirection::Sent;
        e.bytes = CommandFrame(cmd::ReadMemory, 0, 0, 0, 99, 0, 96, 0);
    } else {
        e.direction = TrafficDirection::Received;
        e.bytes = QByteArray(kCounterReplySize, char(n & 0x7F));
        e.verdict = QStringLiteral("reply ok");
    }
    return e;
}

// Feeds lines for `seconds` while the probe timer runs; the probe's lateness.
Lateness run(TrafficLogBuffer& log, double seconds) {
    std::vector<double> late;
    QElapsedTimer clock, sinceTick;
    QTimer feed, probe;
    feed.setTimerType(Qt::PreciseTimer);
    probe.setTimerType(Qt::PreciseTimer);
    Lateness result;
    QObject::connect(&feed, &QTimer::timeout, [&] {
        // As many lines as are due by now: 100 a second however the timer fires.
        const qint64 due = clock.elapsed() * kLinesPerSecond / 1000;
        while (result.lines < due)
            log.append(trafficLine(entryNumber(result.lines++)));
    });
    QObject::connect(&probe, &QTimer::timeout, [&] {
        late.push_back(std::max(0.0, double(sinceTick.nsecsElapsed()) / 1e6 - kProbeMs));
        sinceTick.restart();
    });
    QEventLoop loop;
    QTimer::singleShot(int(seconds * 1000), Qt::PreciseTimer, &loop, &QEventLoop::quit);
    clock.start();
    sinceTick.start();
    feed.start(1000 / kLinesPerSecond);
    probe.start(kProbeMs);
    loop.exec();
    std::sort(late.begin(), late.end());
    if (!late.empty()) {
        result.maxMs = late.back();
        result.p99Ms = late[std::min(late.size() - 1, size_t(double(late.size()) * 0.99))];
    }
    return result;
}

void print(QTextStream& out, const char* label, const Lateness& l) {
    out << label << ": " << l.lines << " lines, the 10 ms timer late by max "
        << QString::number(l.maxMs, 'f', 1) << " ms, p99 " << QString::number(l.p99Ms, 'f', 1)
        << " ms (target < " << kTargetMs << " ms)" << Qt::endl;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const double seconds =
        argc > 1 ? std::max(1.0, QString::fromLocal8Bit(argv[1]).toDouble()) : 10.0;
    QTextStream out(stdout);
    QTemporaryDir dir;
    SharedState state;
    state.programDir = dir.path();
    bench::QuietOperator op;
    FrmMain main(state, op);
    main.start();
    main.show();

    const Lateness closed = run(main.trafficLog(), seconds);
    main.communicationLog();
    const Lateness open = run(main.trafficLog(), seconds);
    print(out, "log window closed", closed);
    print(out, "log window open  ", open);
    const auto* view = main.commLogWindow()->findChild<QPlainTextEdit*>(QStringLiteral("txtLog"));
    out << "lines in the window at the end: " << (view ? view->blockCount() : 0) << Qt::endl;
    out << "max lateness open / target: " << QString::number(open.maxMs / kTargetMs, 'f', 3)
        << " (at most 1.0)" << Qt::endl;
    return 0;
}
