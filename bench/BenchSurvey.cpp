// nodalyx-bench-survey: measures the survey of many sites (SurveyRunner) against simulated
// loggers on TCP loopback, all served by one nodalyx-loggersim process run beside this one
// (--loggers), each with its own port, serial number and clock, each reply starting --delay
// milliseconds late (default 100: a logger at a remote site; with 0 the survey of a logger is
// a millisecond of processor time on either side, and the measurement is one of the two
// processes' processor time on this machine rather than of overlapping waits):
//  (a) one logger's survey alone (surveyLocation on this thread, the mean of a few);
//  (b) the survey of all of them, at most --jobs at a time: wall time and the concurrency
//      efficiency (one x loggers / jobs) / wall (target at least 0.7);
//  (c) the peak memory of this process (VmHWM; target under 150 MB);
//  (d) the same survey with some of them silent (they take the connection and answer
//      nothing): a silent logger alone costs its connection wait once (5 s), and the survey
//      grows by at most silent x 5 s / jobs.
// It prints the ratios and a verdict for each; the exit status is 0 whether or not a target is
// met, 1 only when it could not measure (the simulator did not start, the locations could not
// be written, or an answering logger was not reached).
//
// nodalyx-bench-survey [--loggers N] [--silent N] [--jobs N] [--repeats N] [--delay MS]
//                      [--sim PATH]
#include "LocationStore.h"
#include "SharedState.h"
#include "SiteSurvey.h"

#include "BenchSupport.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextStream>
#include <QThread>
#include <cmath>
#include <ctime>

using namespace nodalyx;
using nodalyx::bench::QuietOperator;

namespace {

const QString kSerial = QStringLiteral("NX00424242");
constexpr double kConnectionWait = 5.0; // the link's default wait for an answer, in seconds
constexpr double kEfficiencyTarget = 0.7;
constexpr double kMemoryTargetMb = 150.0;

struct SimLogger {
    quint16 port = 0;
    QString serial;
    bool silent = false;
};

// The simulator process and the loggers it announced, one line each.
struct Fleet {
    QProcess process;
    QList<SimLogger> loggers;
};

QString fixed(double value, int decimals) {
    return QString::number(value, 'f', decimals);
}

const char* verdict(bool met) {
    return met ? "met" : "NOT met";
}

bool startFleet(Fleet& fleet, const QString& program, int count, int silent, int delayMs,
                QTextStream& out) {
    fleet.process.setProgram(program);
    fleet.process.setArguments(
        {QStringLiteral("--tcp"), QStringLiteral("127.0.0.1:0"), QStringLiteral("--loggers"),
         QString::number(count), QStringLiteral("--silent-loggers"), QString::number(silent),
         QStringLiteral("--serial"), kSerial, QStringLiteral("--fixed-counts"),
         QStringLiteral("--delay"), QString::number(delayMs)});
    fleet.process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    fleet.process.start();
    const QRegularExpression line(QStringLiteral("^tcp [0-9.]+:([0-9]+) serial (\\S+) .*$"));
    QElapsedTimer waited;
    waited.start();
    while (fleet.loggers.size() < count && waited.elapsed() < 20000 &&
           fleet.process.waitForReadyRead(20000)) {
        while (fleet.process.canReadLine()) {
            const QString text = QString::fromLocal8Bit(fleet.process.readLine()).trimmed();
            const QRegularExpressionMatch m = line.match(text);
            if (m.hasMatch())
                fleet.loggers << SimLogger{quint16(m.captured(1).toUInt()), m.captured(2),
                                           text.endsWith(QLatin1String(" silent"))};
        }
    }
    if (fleet.loggers.size() == count)
        return true;
    out << "the simulator " << program << " did not start its " << count << " loggers ("
        << fleet.loggers.size() << " announced): " << fleet.process.errorString() << Qt::endl;
    return false;
}

void stopFleet(Fleet& fleet) {
    if (fleet.process.state() != QProcess::Running) {
        QTextStream(stderr) << "the simulator ended early" << Qt::endl;
        return;
    }
    fleet.process.terminate();
    if (!fleet.process.waitForFinished(5000))
        fleet.process.kill();
}

// A LAN location per logger ("Site 001", ...) in programDir, expecting its serial number.
QStringList writeLocations(const QString& programDir, const QList<SimLogger>& loggers) {
    QStringList names;
    QuietOperator op;
    const int width = int(QString::number(loggers.size()).size());
    for (int i = 0; i < loggers.size(); ++i) {
        SharedState state;
        state.programDir = programDir;
        state.settings.ConnType = 2;
        state.settings.IPnumber = QStringLiteral("127.0.0.1");
        state.settings.Portnumber = QString::number(loggers[i].port);
        state.settings.eSerialnumber = loggers[i].serial;
        const QString name = QStringLiteral("Site %1").arg(i + 1, width, 10, QLatin1Char('0'));
        if (!WriteFGR(state, name, op))
            return {};
        names << name;
    }
    return names;
}

// The peak resident memory of this process in MB (VmHWM), 0 where it cannot be read.
double peakMemoryMb() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    }
    return 0;
}

// The mean time of surveying each of the locations alone on this thread (after one survey
// not counted, which pays for what is done once: the first connection, the first thread's
// start-up); nullopt (printed) when one of them gave an unexpected answer.
std::optional<double> aloneSeconds(const QString& programDir, const QStringList& names,
                                   bool expectReached, QTextStream& out) {
    if (expectReached)
        surveyLocation(programDir, names.value(0), SurveyOptions{});
    double total = 0;
    for (const QString& name : names) {
        QElapsedTimer timer;
        timer.start();
        const SurveyResult result = surveyLocation(programDir, name, SurveyOptions{});
        total += double(timer.nsecsElapsed()) / 1e9;
        if (result.reached != expectReached) {
            out << name << ": reached " << result.reached << " (expected " << expectReached
                << "): " << result.reason << Qt::endl;
            return std::nullopt;
        }
    }
    return total / double(qMax(1, int(names.size())));
}

struct Survey {
    double wallSeconds = 0;
    double cpuSeconds = 0;     // of this process, all threads
    double memoryBeforeMb = 0; // VmHWM when the survey started
    double firstResultSeconds = 0;
    QList<SurveyResult> results;
    int reached = 0;
    int serialMatches = 0;
    int peakWorkers = 0;
};

Survey survey(const QString& programDir, const QStringList& names, int jobs) {
    SurveyOptions options;
    options.jobs = jobs;
    SurveyRunner runner;
    Survey s;
    QEventLoop loop;
    QElapsedTimer timer;
    QObject::connect(&runner, &SurveyRunner::resultReady, &loop, [&](const SurveyResult&) {
        if (s.firstResultSeconds == 0)
            s.firstResultSeconds = double(timer.nsecsElapsed()) / 1e9;
    });
    QObject::connect(&runner, &SurveyRunner::finished, &loop, &QEventLoop::quit);
    s.memoryBeforeMb = peakMemoryMb();
    const std::clock_t cpu0 = std::clock();
    timer.start();
    runner.start(programDir, names, options);
    if (runner.isRunning())
        loop.exec();
    s.wallSeconds = double(timer.nsecsElapsed()) / 1e9;
    s.cpuSeconds = double(std::clock() - cpu0) / CLOCKS_PER_SEC;
    s.results = runner.results();
    s.peakWorkers = runner.peakWorkers();
    for (const SurveyResult& r : s.results) {
        s.reached += r.reached ? 1 : 0;
        s.serialMatches += r.serialMatches.value_or(false) ? 1 : 0;
    }
    return s;
}

struct Settings {
    QString simProgram;
    int loggers = 200;
    int silent = 20;
    int jobs = 16;
    int repeats = 5;
    int delayMs = 100;
};

// One run of the simulator with `silent` of the loggers silent: the locations, the survey.
struct Run {
    bool ok = false;
    Survey survey;
    double alone = 0;           // one answering logger alone, mean
    double silentAlone = 0;     // one silent logger alone (only when there are silent ones)
    double groupingSeconds = 0; // surveySerialDevice of every location, as the runner starts
};

// The mean cost of a worker thread that does nothing: created, started, ended and joined.
double threadSeconds(int count) {
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < count; ++i) {
        std::unique_ptr<QThread> thread(QThread::create([] {}));
        thread->start();
        thread->wait();
    }
    return double(timer.nsecsElapsed()) / 1e9 / count;
}

double groupingSeconds(const QString& programDir, const QStringList& names) {
    QElapsedTimer timer;
    timer.start();
    for (const QString& name : names)
        surveySerialDevice(programDir, name);
    return double(timer.nsecsElapsed()) / 1e9;
}

Run measure(const Settings& set, int silent, QTextStream& out) {
    Run run;
    Fleet fleet;
    QTemporaryDir dir;
    if (!dir.isValid() || !startFleet(fleet, set.simProgram, set.loggers, silent, set.delayMs, out))
        return run;
    const QStringList names = writeLocations(dir.path(), fleet.loggers);
    QStringList answering;
    QStringList silentNames;
    for (int i = 0; i < names.size(); ++i)
        (fleet.loggers[i].silent ? silentNames : answering) << names[i];
    if (names.isEmpty() || answering.isEmpty()) {
        out << "the locations could not be written" << Qt::endl;
        stopFleet(fleet);
        return run;
    }
    const std::optional<double> alone =
        aloneSeconds(dir.path(), answering.mid(0, set.repeats), true, out);
    const std::optional<double> silentAlone =
        silentNames.isEmpty() ? std::optional(0.0)
                              : aloneSeconds(dir.path(), silentNames.mid(0, 1), false, out);
    if (alone && silentAlone) {
        run.alone = *alone;
        run.silentAlone = *silentAlone;
        run.groupingSeconds = groupingSeconds(dir.path(), names);
        run.survey = survey(dir.path(), names, set.jobs);
        run.ok = run.survey.reached == answering.size();
        if (!run.ok)
            out << "reached " << run.survey.reached << " of the " << answering.size()
                << " answering loggers" << Qt::endl;
    }
    stopFleet(fleet);
    return run;
}

void printSurvey(QTextStream& out, const char* label, const Settings& set, const Run& run) {
    out << label << " " << set.loggers << " loggers, " << set.jobs << " at a time ("
        << run.survey.peakWorkers << " workers at most): wall " << fixed(run.survey.wallSeconds, 3)
        << " s, first result after " << fixed(run.survey.firstResultSeconds * 1000, 1) << " ms, "
        << run.survey.reached << " reached, " << run.survey.serialMatches
        << " with the expected serial number; CPU " << fixed(run.survey.cpuSeconds, 3) << " s"
        << Qt::endl;
}

// (a), (b) and (c): all loggers answering.
bool benchAnswering(QTextStream& out, const Settings& set, Run& run) {
    run = measure(set, 0, out);
    if (!run.ok)
        return false;
    out << "(a) one logger alone, each reply " << set.delayMs
        << " ms late: " << fixed(run.alone * 1000, 2) << " ms (mean of "
        << qMin(set.repeats, set.loggers) << ")" << Qt::endl;
    printSurvey(out, "(b)", set, run);
    out << "(b) of it, before the first worker starts, the runner reads every location to group "
           "serial ones by port: "
        << fixed(run.groupingSeconds * 1000, 1) << " ms measured alone" << Qt::endl;
    out << "(b) a worker thread that does nothing, created, started and joined: "
        << fixed(threadSeconds(set.loggers) * 1e6, 0) << " us" << Qt::endl;
    const double ideal = run.alone * set.loggers / set.jobs;
    const double efficiency = ideal / run.survey.wallSeconds;
    out << "(b) efficiency (one x " << set.loggers << " / " << set.jobs
        << ") / wall = " << fixed(ideal, 3) << " s / " << fixed(run.survey.wallSeconds, 3)
        << " s = " << fixed(efficiency, 3) << " (target >= " << kEfficiencyTarget
        << "): " << verdict(efficiency >= kEfficiencyTarget) << Qt::endl;
    const double peak = peakMemoryMb();
    out << "(c) peak memory of this process (VmHWM) " << fixed(peak, 1) << " MB, "
        << fixed(run.survey.memoryBeforeMb, 1) << " MB before the survey (target < "
        << kMemoryTargetMb << " MB): " << verdict(peak > 0 && peak < kMemoryTargetMb) << Qt::endl;
    return true;
}

// (d): the same with some silent, against the survey of (b).
bool benchSilent(QTextStream& out, const Settings& set, const Run& answering) {
    const Run run = measure(set, set.silent, out);
    if (!run.ok)
        return false;
    const double once = kConnectionWait + answering.alone + 0.5;
    out << "(d) one silent logger alone: " << fixed(run.silentAlone, 3)
        << " s (its connection wait once: " << fixed(kConnectionWait, 0)
        << " s): " << verdict(run.silentAlone < once) << Qt::endl;
    printSurvey(out, "(d)", set, run);
    const double growth = run.survey.wallSeconds - answering.survey.wallSeconds;
    const double bound = set.silent * kConnectionWait / set.jobs;
    // A silent logger holds one of the jobs for its whole wait: with more silent loggers than
    // jobs some job waits ceil(silent / jobs) times, so the survey cannot end sooner.
    const double shortest = std::ceil(double(set.silent) / set.jobs) * kConnectionWait;
    out << "(d) with " << set.silent << " silent the survey grows by " << fixed(growth, 3)
        << " s (allowed " << set.silent << " x " << fixed(kConnectionWait, 0) << " s / " << set.jobs
        << " = " << fixed(bound, 3) << " s): " << verdict(growth <= bound) << Qt::endl;
    out << "(d) no schedule of " << set.jobs << " jobs ends before " << fixed(shortest, 3)
        << " s (some job waits " << int(std::ceil(double(set.silent) / set.jobs))
        << " times), a growth of at least "
        << fixed(qMax(0.0, shortest - answering.survey.wallSeconds), 3) << " s" << Qt::endl;
    out << "(c) peak memory of this process after both surveys " << fixed(peakMemoryMb(), 1)
        << " MB" << Qt::endl;
    return true;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Measures the survey of many simulated loggers on TCP loopback and prints ratios."));
    parser.addHelpOption();
    const QCommandLineOption loggers(QStringLiteral("loggers"),
                                     QStringLiteral("Simulated loggers (default 200)."),
                                     QStringLiteral("N"), QStringLiteral("200"));
    const QCommandLineOption silent(
        QStringLiteral("silent"), QStringLiteral("Silent loggers of (d), 0: no (d) (default 20)."),
        QStringLiteral("N"), QStringLiteral("20"));
    const QCommandLineOption jobs(QStringLiteral("jobs"),
                                  QStringLiteral("Loggers surveyed at a time (default 16)."),
                                  QStringLiteral("N"), QStringLiteral("16"));
    const QCommandLineOption repeats(
        QStringLiteral("repeats"),
        QStringLiteral("Loggers surveyed alone for one logger's time (default 5)."),
        QStringLiteral("N"), QStringLiteral("5"));
    const QCommandLineOption delay(
        QStringLiteral("delay"),
        QStringLiteral("Every reply of the simulated loggers starts MS late (default 100)."),
        QStringLiteral("MS"), QStringLiteral("100"));
    const QCommandLineOption sim(QStringLiteral("sim"), QStringLiteral("The simulator program."),
                                 QStringLiteral("PATH"), QStringLiteral(NODALYX_LOGGERSIM_PATH));
    parser.addOptions({loggers, silent, jobs, repeats, delay, sim});
    parser.process(app);
    Settings set;
    set.simProgram = parser.value(sim);
    set.loggers = qBound(1, parser.value(loggers).toInt(), 1000);
    set.silent = qBound(0, parser.value(silent).toInt(), set.loggers - 1);
    set.jobs = qMax(1, parser.value(jobs).toInt());
    set.repeats = qBound(1, parser.value(repeats).toInt(), set.loggers);
    set.delayMs = qBound(0, parser.value(delay).toInt(), 60000);
    QTextStream out(stdout);
    Run answering;
    if (!benchAnswering(out, set, answering))
        return 1;
    if (set.silent > 0 && !benchSilent(out, set, answering))
        return 1;
    return 0;
}
