#include "SurveyCommand.h"

#include "CliText.h"
#include "Interrupt.h"
#include "LocationStore.h"
#include "PrintableJson.h"
#include "PrintableText.h"
#include "SiteSurvey.h"
#include "TextConvert.h"

#include <QEventLoop>
#include <QJsonArray>
#include <QJsonDocument>
#include <algorithm>
#include <cstdio>

#ifdef Q_OS_WIN
#include <io.h>
#else
#include <unistd.h>
#endif

namespace nodalyx::cli {

namespace {

constexpr int kDifferent = 3; // another logger, other settings or a drifted clock
constexpr int kMaxJobs = 256;
constexpr int kMaxDrift = 24 * 60;

struct SurveyInvocation {
    QStringList locations;
    SurveyOptions options;
    bool json = false;
    bool csv = false;
};

bool stderrIsTerminal() {
#ifdef Q_OS_WIN
    return _isatty(_fileno(stderr)) != 0;
#else
    return isatty(STDERR_FILENO) != 0;
#endif
}

int parseSurveyArgs(const QStringList& args, SurveyInvocation& inv) {
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        const bool valued = a == QLatin1String("--jobs") || a == QLatin1String("--max-drift");
        if (valued && i + 1 >= args.size())
            return usageError(CliText::tr("survey: %1 needs a number").arg(a));
        if (a == QLatin1String("--jobs")) {
            if (!parseInteger(args[++i], 1, kMaxJobs, inv.options.jobs))
                return usageError(
                    CliText::tr("survey: --jobs takes 1..%1, not '%2'").arg(kMaxJobs).arg(args[i]));
        } else if (a == QLatin1String("--max-drift")) {
            if (!parseInteger(args[++i], 0, kMaxDrift, inv.options.maxDriftMinutes))
                return usageError(CliText::tr("survey: --max-drift takes 0..%1 minutes, not '%2'")
                                      .arg(kMaxDrift)
                                      .arg(args[i]));
        } else if (a == QLatin1String("--json")) {
            inv.json = true;
        } else if (a == QLatin1String("--csv")) {
            inv.csv = true;
        } else if (a == QLatin1String("--settings")) {
            inv.options.settings = true;
        } else if (a == QLatin1String("--sync-clock")) {
            inv.options.syncClock = true;
        } else if (a.startsWith(QLatin1String("--"))) {
            return usageError(CliText::tr("survey: unexpected '%1'").arg(a));
        } else if (!inv.locations.contains(a)) {
            inv.locations << a;
        }
    }
    if (inv.json && inv.csv)
        return usageError(CliText::tr("survey: --json or --csv, not both"));
    return Done;
}

QString yesNo(std::optional<bool> v) {
    return !v ? QStringLiteral("-") : *v ? QStringLiteral("yes") : QStringLiteral("no");
}

// The table's columns of one result, each text printable.
QStringList tableRow(const SurveyResult& r) {
    const QStringList cells{
        r.location,
        yesNo(r.reached),
        r.serial.value_or(QStringLiteral("-")),
        yesNo(r.serialMatches),
        r.loggerClock.value_or(QStringLiteral("-")),
        r.driftMinutes ? QString::number(*r.driftMinutes) : QStringLiteral("-"),
        !r.differences             ? QStringLiteral("-")
        : r.differences->isEmpty() ? QStringLiteral("none")
                                   : r.differences->join(QLatin1Char(',')),
        yesNo(r.clockSet),
        r.reason,
    };
    QStringList printable;
    for (const QString& c : cells)
        printable << printableText(c);
    return printable;
}

void printTable(QTextStream& out, const QList<SurveyResult>& results) {
    QList<QStringList> rows{{"location", "reached", "serial", "matches", "logger clock", "drift",
                             "differences", "clock set", "reason"}};
    for (const SurveyResult& r : results)
        rows << tableRow(r);
    QList<qsizetype> widths(rows.first().size(), 0);
    for (const QStringList& row : rows)
        for (qsizetype c = 0; c < row.size(); ++c)
            widths[c] = std::max(widths[c], row[c].size());
    for (const QStringList& row : rows) {
        QString line;
        for (qsizetype c = 0; c < row.size(); ++c)
            line += c + 1 < row.size() ? row[c].leftJustified(widths[c] + 2) : row[c];
        out << line.trimmed() << '\n';
    }
}

void print(CliContext& ctx, const SurveyInvocation& inv, const QList<SurveyResult>& results) {
    if (inv.json) {
        QJsonArray array;
        for (const SurveyResult& r : results)
            array << printableJson(surveyJson(r));
        ctx.out << QJsonDocument(array).toJson(QJsonDocument::Indented);
    } else if (inv.csv) {
        ctx.out << surveyCsvHeader() << '\n';
        for (const SurveyResult& r : results)
            ctx.out << printableText(surveyCsvLine(r)) << '\n';
    } else {
        printTable(ctx.out, results);
    }
    ctx.out.flush();
}

// "6 locations: 5 reached, 1 not reached, 1 with another serial number, 1 drifted, 1 with
// different settings, 1 clock set".
QString summary(const SurveyTally& t, int asked, bool settings, bool syncClock) {
    QString line = (asked == 1 ? CliText::tr("%1 location: %2 reached, %3 not reached")
                               : CliText::tr("%1 locations: %2 reached, %3 not reached"))
                       .arg(asked)
                       .arg(t.reached)
                       .arg(t.notReached);
    if (t.incomplete)
        line += CliText::tr(", %1 incomplete").arg(t.incomplete);
    line += CliText::tr(", %1 with another serial number, %2 drifted")
                .arg(t.otherSerial)
                .arg(t.drifted);
    if (settings)
        line += CliText::tr(", %1 with different settings").arg(t.differing);
    if (syncClock)
        line += t.clocksSet == 1 ? CliText::tr(", 1 clock set")
                                 : CliText::tr(", %1 clocks set").arg(t.clocksSet);
    if (t.total < asked)
        line += CliText::tr(", %1 not surveyed (cancelled)").arg(asked - t.total);
    return line;
}

int exitCode(const SurveyTally& t, int asked) {
    if (t.notReached || t.incomplete || t.total < asked)
        return Failed;
    return t.otherSerial || t.differing || t.driftLeft ? kDifferent : Done;
}

} // namespace

int runSurveyCommand(CliContext& ctx, const QStringList& args) {
    SurveyInvocation inv;
    if (const int usage = parseSurveyArgs(args, inv); usage != Done)
        return usage;
    // The frames of many loggers at once would interleave on stderr.
    if (ctx.trace)
        return usageError(CliText::tr("survey does not take --trace; trace one location with "
                                      "serial, clock or settings"));
    const QStringList locations = inv.locations.isEmpty() ? ListFGR(ctx.programDir) : inv.locations;
    const bool terminal = stderrIsTerminal();
    SurveyRunner runner;
    QEventLoop loop;
    QObject::connect(&runner, &SurveyRunner::finished, &loop, &QEventLoop::quit);
    if (terminal) {
        QObject::connect(&runner, &SurveyRunner::resultReady, &loop,
                         [&runner, total = locations.size()](const SurveyResult& r) {
                             const int done = runner.results().size();
                             QTextStream(stderr) << '[' << done << '/' << total << "] "
                                                 << printableText(r.location) << ": "
                                                 << (r.reached ? QStringLiteral("reached")
                                                               : printableText(r.reason))
                                                 << Qt::endl;
                         });
    }
    onFirstInterrupt(
        &runner, CliText::tr("nodalyx-cli: cancelling the survey after the exchanges under way"),
        [&runner] { runner.cancel(); });
    runner.start(ctx.programDir, locations, inv.options);
    if (runner.isRunning())
        loop.exec();
    const QList<SurveyResult> results = runner.results();
    print(ctx, inv, results);
    const SurveyTally t = tallySurvey(results, inv.options.maxDriftMinutes);
    QTextStream(stderr) << summary(t, int(locations.size()), inv.options.settings,
                                   inv.options.syncClock)
                        << Qt::endl;
    return exitCode(t, int(locations.size()));
}

} // namespace nodalyx::cli
