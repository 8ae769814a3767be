// The hwtest command of nodalyx-cli: the highway test without the window.
#include "HwtestCommand.h"
#include "LoggerSession.h"

#include "CountingOperator.h"
#include "HighwayStore.h"
#include "HighwayTest.h"
#include "HwtestReport.h"
#include "Interrupt.h"
#include "Link.h"
#include "LocationLoad.h"
#include "LocationStore.h"
#include "TextConvert.h"
#include "TrafficTrace.h"

#include <QJsonDocument>
#include <QTextStream>

namespace nodalyx::cli {

namespace {

struct Invocation {
    QString location;
    int highway = 0;
    QString comport;
    int passes = 1;
    bool json = false;
};

int parseOption(const QString& option, const QString& value, Invocation& inv) {
    int n = 0;
    if (option == QLatin1String("--hw") && parseInteger(value, 1, 2, inv.highway))
        return Done;
    if (option == QLatin1String("--comport") && parseInteger(value, 1, 255, n)) {
        inv.comport = QString::number(n);
        return Done;
    }
    if (option == QLatin1String("--passes") && parseInteger(value, 0, 1000000, inv.passes))
        return Done;
    const char* wanted = option == QLatin1String("--hw") ? "1 or 2"
                         : option == QLatin1String("--comport")
                             ? "a port number 1..255"
                             : "a number of passes (0: until Ctrl-C)";
    return usageError(QStringLiteral("hwtest: %1 needs %2, not '%3'").arg(option, wanted, value));
}

int parseArgs(const QStringList& args, Invocation& inv) {
    static const QStringList kWithValue{"--hw", "--comport", "--passes"};
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == QLatin1String("--json")) {
            inv.json = true;
        } else if (kWithValue.contains(a)) {
            if (i + 1 >= args.size())
                return usageError(QStringLiteral("hwtest: %1 needs a value").arg(a));
            if (const int rc = parseOption(a, args[++i], inv); rc != Done)
                return rc;
        } else if (a.startsWith(QLatin1String("--")) || !inv.location.isEmpty()) {
            return usageError(QStringLiteral("hwtest: unexpected '%1'").arg(a));
        } else {
            inv.location = a;
        }
    }
    if (inv.location.isEmpty())
        return usageError(QStringLiteral("hwtest needs a LOCATION"));
    if (inv.highway == 0)
        return usageError(QStringLiteral("hwtest needs --hw 1 or --hw 2"));
    if (inv.comport.isEmpty())
        return usageError(QStringLiteral("hwtest needs --comport N"));
    return Done;
}

// The location's settings and the table of the highway under test.
bool loadHighway(const CliContext& ctx, const Invocation& inv, SharedState& state,
                 CountingOperator& op) {
    return loadLocationSettings(ctx, inv.location, state, op) &&
           ReadHighway(state, inv.highway, inv.location, op) && op.messages() == 0;
}

// Ctrl-C acts as Stop: the running pass completes, so every unit in the list has been polled
// equally often, and the list is printed.
void stopOnInterrupt(hw::HighwayTest& test) {
    onFirstInterrupt(&test, QStringLiteral("nodalyx-cli: stopping after this pass"),
                     [&test] { test.requestStop(); });
}

QList<HwtestRow> activeRows(const SharedState& state, int highway, const hw::HighwayTest& test) {
    QList<HwtestRow> rows;
    for (int i = 1; i <= kUnitsPerHighway; ++i)
        if (state.table(highway)[i].Active)
            rows.append({i, state.table(highway)[i], test.row(i)});
    return rows;
}

} // namespace

int runHwtestCommand(CliContext& ctx, const QStringList& args) {
    Invocation inv;
    if (const int usage = parseArgs(args, inv); usage != Done)
        return usage;
    CountingOperator op(ctx.op);
    SharedState state;
    if (!loadHighway(ctx, inv, state, op))
        return Failed;
    Link link(state.settings);
    tellNotices(link, op);
    hw::HighwayTest test(state, link, op);
    test.setPassLimit(inv.passes);
    test.setStopAfterPass(true);
    if (ctx.trace)
        traceHighwayTest(test);
    stopOnInterrupt(test);
    if (!test.TestHW(inv.highway, inv.comport))
        return Failed;
    const QList<HwtestRow> rows = activeRows(state, inv.highway, test);
    if (inv.json)
        ctx.out << QJsonDocument(hwtestJson(rows)).toJson(QJsonDocument::Indented);
    else
        ctx.out << hwtestText(rows);
    ctx.out.flush();
    // A device lost during the run: the list holds what was read before, and a script learns
    // that the test did not run its course.
    return test.portLost() ? Failed : Done;
}

} // namespace nodalyx::cli
