// nodalyx-cli settings: the configuration window's general read-out without the window.
#include "CliContext.h"
#include "ClockDrift.h"
#include "CountingOperator.h"
#include "GeneralReadout.h"
#include "Interrupt.h"
#include "Link.h"
#include "LocationLoad.h"
#include "LocationStore.h"
#include "LoggerSession.h"
#include "PrintableText.h"
#include "SettingsComparison.h"
#include "SettingsForm.h"
#include "SettingsReport.h"
#include "TrafficTrace.h"

#include <QJsonDocument>

namespace nodalyx::cli {

namespace {

constexpr int kDifferent = 3; // --diff found a difference

struct SettingsInvocation {
    QString location;
    bool json = false;
    bool save = false;
    bool diff = false;
};

int parseSettingsArgs(const QStringList& args, SettingsInvocation& out) {
    for (const QString& a : args) {
        if (a == QLatin1String("--json"))
            out.json = true;
        else if (a == QLatin1String("--save"))
            out.save = true;
        else if (a == QLatin1String("--diff"))
            out.diff = true;
        else if (a.startsWith(QLatin1String("--")) || !out.location.isEmpty())
            return usageError(QStringLiteral("settings: unexpected '%1'").arg(a));
        else
            out.location = a;
    }
    if (out.location.isEmpty())
        return usageError(QStringLiteral("settings needs a LOCATION"));
    return Done;
}

// Reads the location's file into state; false (reported) when it cannot be used.

void print(CliContext& ctx, const SettingsInvocation& inv, const ConfigurationControls& controls,
           const GeneralReadout& readout, const QList<SettingDifference>& differences) {
    if (inv.json) {
        QJsonObject json = settingsJson(controls);
        if (inv.diff)
            json = withDifferences(json, differences);
        ctx.out << QJsonDocument(json).toJson(QJsonDocument::Indented);
    } else if (inv.diff) {
        for (const SettingDifference& d : differences)
            ctx.out << printableText(differenceLine(d)) << '\n';
    } else {
        const QString clock =
            readout.clock ? clockDriftText(clockDriftMinutes(*readout.clock, readout.clockReadAt))
                          : QString();
        ctx.out << settingsText(controls, clock);
    }
    ctx.out.flush();
}

} // namespace

int runSettingsCommand(CliContext& ctx, const QStringList& args) {
    SettingsInvocation inv;
    if (const int usage = parseSettingsArgs(args, inv); usage != Done)
        return usage;
    CountingOperator op(ctx.op);
    SharedState state;
    if (!loadLocationSettings(ctx, inv.location, state, op))
        return Failed;
    ConfigurationControls controls;
    GetGeneralsettings(state, controls, op); // a field that does not fit is kept and reported
    const GeneralSettings location = state.settings;
    Link link(state.settings);
    tellNotices(link, op);
    if (ctx.trace)
        traceToStderr(link);
    ReadoutHooks hooks;
    hooks.progress = [&op](int value) {
        op.progress(QStringLiteral("General settings"), value, kGeneralReadoutSteps);
    };
    // Ctrl-C stops the read-out after the query under way; nothing is printed or saved then.
    Cancellation cancel;
    onFirstInterrupt(&link, QStringLiteral("\nnodalyx-cli: cancelling the read-out"),
                     [&cancel] { cancel.request(); });
    const GeneralReadout readout = ReadGeneralSettings(state, link, op, controls, hooks, &cancel);
    link.CloseLink();
    if (!readout.connected)
        return Failed;
    if (readout.cancelled) {
        op.message(QStringLiteral("The read-out was cancelled; nothing was printed or saved."),
                   Operator::Icon::Information);
        return Failed;
    }
    const QList<SettingDifference> differences =
        compareWithLocation(location, controls, readout.read);
    print(ctx, inv, controls, readout, differences);
    int result = Done;
    if (!readout.failed.isEmpty()) {
        op.message(QStringLiteral("No valid reply from the logger for: %1; these boxes keep the "
                                  "location's values.")
                       .arg(readout.failed.join(QStringLiteral(", "))),
                   Operator::Icon::Warning);
        result = Failed;
    }
    if (inv.save &&
        !(SaveGeneralsettings(state, controls, op) && WriteFGR(state, inv.location, op)))
        result = Failed;
    if (result == Done && inv.diff && !differences.isEmpty())
        result = kDifferent;
    return result;
}

} // namespace nodalyx::cli
