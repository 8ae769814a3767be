#include "CliContext.h"
#include "CliText.h"
#include "CountingOperator.h"
#include "HighwayFileCodec.h"
#include "HighwayStore.h"
#include "LocationCheck.h"
#include "LocationFileCodec.h"
#include "LocationReport.h"
#include "LocationStore.h"
#include "NewLocation.h"
#include "TextMatch.h"

#include <QFileInfo>
#include <QJsonDocument>
#include <functional>

namespace nodalyx::cli {

namespace {

using ApplyKey = std::function<KeyResult(const QString& key, const QString& value)>;

int result(const CountingOperator& op) {
    return op.messages() == 0 ? Done : Failed;
}

// A name the store accepts and whose location file exists; else reported.
bool locationExists(const CliContext& ctx, const QString& name, Operator& op) {
    QString refusal = checkLocationName(name);
    if (refusal.isEmpty() && !QFileInfo(ctx.programDir + '/' + name + ".fgr").isFile())
        refusal =
            CliText::tr("The location \"%1\" does not exist in \"%2\".").arg(name, ctx.programDir);
    if (!refusal.isEmpty())
        op.message(refusal, Operator::Icon::Critical);
    return refusal.isEmpty();
}

// Reads the location file into state; false (reported) when that did not work cleanly.
bool loadSettings(const CliContext& ctx, const QString& name, SharedState& state,
                  CountingOperator& op) {
    state.programDir = ctx.programDir;
    if (!locationExists(ctx, name, op))
        return false;
    if (!ReadFGR(state, name + ".fgr", op))
        op.message(CliText::tr("\"%1/%2.fgr\" is not a location file: its first line is not "
                               "a location file header.")
                       .arg(ctx.programDir, name),
                   Operator::Icon::Critical);
    return op.messages() == 0;
}

QString applyPair(const QString& pair, const ApplyKey& apply) {
    const KeyValue kv = splitKeyValue(pair);
    if (!kv.error.isEmpty())
        return CliText::tr("\"%1\": %2.").arg(pair, kv.error);
    if (kv.value.contains(QLatin1Char('\r')) || kv.value.contains(QLatin1Char('\n')))
        return CliText::tr("The value of %1 cannot hold a line break.").arg(kv.key);
    const KeyResult stored = apply(kv.key, kv.value);
    if (stored.status == KeyResult::Unknown)
        return CliText::tr("Unknown key \"%1\".").arg(kv.key);
    if (stored.status == KeyResult::Rejected)
        return stored.reason + QLatin1Char('.');
    return {};
}

// Applies every KEY=VALUE; the first refusal is reported and answers false.
bool applyPairs(const QStringList& pairs, const ApplyKey& apply, Operator& op) {
    for (const QString& pair : pairs) {
        const QString refusal = applyPair(pair, apply);
        if (!refusal.isEmpty()) {
            op.message(refusal + CliText::tr(" Nothing was written."), Operator::Icon::Critical);
            return false;
        }
    }
    return true;
}

int checkPairs(const QStringList& pairs) {
    if (pairs.isEmpty())
        return usageError(CliText::tr("no KEY=VALUE given"));
    for (const QString& pair : pairs) {
        if (!pair.contains(QLatin1Char('=')))
            return usageError(CliText::tr("'%1' is not KEY=VALUE").arg(pair));
    }
    return Done;
}

int listLocations(CliContext& ctx, const QStringList& args) {
    if (!args.isEmpty())
        return usageError(CliText::tr("locations takes no arguments"));
    CountingOperator op(ctx.op);
    const QStringList names = GetFGR(ctx.programDir, op);
    for (const QString& name : names)
        ctx.out << name << '\n';
    return names.isEmpty() ? Failed : result(op);
}

int showLocation(CliContext& ctx, QStringList args) {
    const bool json = args.removeAll(QStringLiteral("--json")) > 0;
    if (args.size() != 1)
        return usageError(CliText::tr("show needs one LOCATION"));
    CountingOperator op(ctx.op);
    SharedState state;
    if (!loadSettings(ctx, args[0], state, op) || !ReadHW01(state, args[0], op) ||
        !ReadHW02(state, args[0], op) || op.messages() > 0)
        return Failed;
    if (json)
        ctx.out << QJsonDocument(locationJson(args[0], state)).toJson(QJsonDocument::Indented);
    else
        ctx.out << locationText(args[0], state);
    return Done;
}

// The reader skips a location file line holding "[", "]" and "=": such a value would be
// written and then never read back.
KeyResult applyToSettings(GeneralSettings& settings, const QString& key, const QString& value) {
    if (value.contains(QLatin1Char('[')) && value.contains(QLatin1Char(']')))
        return {KeyResult::Rejected,
                CliText::tr("The value of %1 cannot hold both \"[\" and \"]\": the file's "
                            "reader skips such a line")
                    .arg(key)};
    return applySettingKey(settings, key, value);
}

int setSettings(CliContext& ctx, const QStringList& args) {
    if (args.isEmpty())
        return usageError(CliText::tr("set needs LOCATION KEY=VALUE..."));
    if (const int usage = checkPairs(args.mid(1)))
        return usage;
    CountingOperator op(ctx.op);
    SharedState state;
    if (!loadSettings(ctx, args[0], state, op))
        return Failed;
    const ApplyKey apply = [&](const QString& key, const QString& value) {
        return applyToSettings(state.settings, key, value);
    };
    if (!applyPairs(args.mid(1), apply, op) || !WriteFGR(state, args[0], op))
        return Failed;
    QStringList keys;
    for (const QString& pair : args.mid(1))
        keys << splitKeyValue(pair).key;
    warnAboutValues(ctx, state.settings, keys); // stored all the same: scripts rely on it
    return result(op);
}

int parseNumber(const QString& text, int low, int high) {
    const int value = isAsciiDigits(text, 1, 3) ? text.toInt() : -1;
    return value >= low && value <= high ? value : -1;
}

KeyResult applyToUnit(UnitConfig& unit, const QString& key, const QString& value) {
    if (key.compare(QLatin1String("Address"), Qt::CaseInsensitive) == 0)
        return {KeyResult::Rejected, CliText::tr("Address selects the unit; it cannot be set")};
    if (const QString problem = unitValueProblem(value); !problem.isEmpty())
        return {KeyResult::Rejected, CliText::tr("The value of %1 %2").arg(key, problem)};
    return applyUnitKey(unit, key, value);
}

int setUnit(CliContext& ctx, const QStringList& args) {
    if (args.size() < 3)
        return usageError(CliText::tr("unit needs LOCATION HW ADDR KEY=VALUE..."));
    const int highway = parseNumber(args[1], 1, 2);
    const int address = parseNumber(args[2], 0, 63);
    if (highway < 0 || address < 0)
        return usageError(CliText::tr("HW must be 1 or 2 and ADDR a number 0..63"));
    if (const int usage = checkPairs(args.mid(3)))
        return usage;
    CountingOperator op(ctx.op);
    SharedState state;
    state.programDir = ctx.programDir;
    if (!locationExists(ctx, args[0], op) || !ReadHighway(state, highway, args[0], op) ||
        op.messages() > 0)
        return Failed;
    UnitConfig& unit = state.table(highway)[size_t(address + 1)];
    const ApplyKey apply = [&](const QString& key, const QString& value) {
        return applyToUnit(unit, key, value);
    };
    if (!applyPairs(args.mid(3), apply, op))
        return Failed;
    WriteHighway(state, highway, args[0], op);
    return result(op);
}

// "--name value" or "--name=value"; false when the value is missing.
bool takeOption(const QStringList& args, int& i, QString& name, QString& value) {
    const qsizetype equals = args[i].indexOf(QLatin1Char('='));
    if (equals > 0) {
        name = args[i].left(equals);
        value = args[i].mid(equals + 1);
        return true;
    }
    name = args[i];
    if (i + 1 >= args.size())
        return false;
    value = args[++i];
    return true;
}

// Fills the request from one option; false for an unknown option or a bad --conn.
bool applyOption(const QString& name, const QString& value, NewLocationRequest& request) {
    if (name == QLatin1String("--conn") &&
        (value == QLatin1String("serial") || value == QLatin1String("lan")))
        request.ConnType = value == QLatin1String("serial") ? 1 : 2;
    else if (name == QLatin1String("--comport"))
        request.comport = value;
    else if (name == QLatin1String("--ip"))
        request.IPnumber = value;
    else if (name == QLatin1String("--port"))
        request.Portnumber = value;
    else
        return false;
    return true;
}

int newLocation(CliContext& ctx, const QStringList& args) {
    NewLocationRequest request;
    bool named = false;
    for (int i = 0; i < args.size(); ++i) {
        if (!args[i].startsWith(QLatin1String("--"))) {
            if (named)
                return usageError(CliText::tr("new takes one LOCATION"));
            request.name = args[i];
            named = true;
            continue;
        }
        QString name, value;
        if (!takeOption(args, i, name, value) || !applyOption(name, value, request))
            return usageError(CliText::tr("bad option '%1' (--conn serial|lan, --comport N, "
                                          "--ip A.B.C.D, --port P)")
                                  .arg(args[i]));
    }
    if (!named)
        return usageError(CliText::tr("new needs a LOCATION"));
    CountingOperator op(ctx.op);
    SharedState state;
    state.programDir = ctx.programDir;
    createLocation(state, request, op);
    return result(op);
}

} // namespace

bool isFileCommand(const QString& command) {
    static const QStringList kCommands{"locations", "show", "new", "set", "unit", "check"};
    return kCommands.contains(command);
}

int runFileCommand(CliContext& ctx, const QString& command, const QStringList& args) {
    if (command == QLatin1String("locations"))
        return listLocations(ctx, args);
    if (command == QLatin1String("show"))
        return showLocation(ctx, args);
    if (command == QLatin1String("new"))
        return newLocation(ctx, args);
    if (command == QLatin1String("set"))
        return setSettings(ctx, args);
    if (command == QLatin1String("check"))
        return runCheckCommand(ctx, args);
    return setUnit(ctx, args);
}

} // namespace nodalyx::cli
