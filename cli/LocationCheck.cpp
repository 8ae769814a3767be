#include "LocationCheck.h"

#include "CliText.h"
#include "CountingOperator.h"
#include "LocationLoad.h"
#include "LocationRules.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace nodalyx::cli {

namespace {

constexpr int kProblemsFound = 3;

QJsonArray problemsJson(const QList<LocationProblem>& problems) {
    QJsonArray array;
    for (const LocationProblem& p : problems)
        array.append(QJsonObject{{"key", p.key}, {"value", p.value}, {"rule", p.rule}});
    return array;
}

} // namespace

int runCheckCommand(CliContext& ctx, const QStringList& args) {
    QStringList rest = args;
    const bool json = rest.removeAll(QStringLiteral("--json")) > 0;
    if (rest.size() != 1 || rest[0].startsWith(QLatin1String("--")))
        return usageError(CliText::tr("check needs one LOCATION and takes only --json"));
    CountingOperator op(ctx.op);
    SharedState state;
    if (!loadLocationSettings(ctx, rest[0], state, op))
        return Failed;
    const QList<LocationProblem> problems = locationProblems(state.settings);
    if (json) {
        ctx.out << QJsonDocument(problemsJson(problems)).toJson(QJsonDocument::Indented);
    } else {
        for (const LocationProblem& p : problems)
            ctx.out << problemLine(p) << '\n';
        if (problems.isEmpty())
            ctx.op.message(CliText::tr("%1: no problems found.").arg(rest[0]));
    }
    ctx.out.flush();
    return problems.isEmpty() ? Done : kProblemsFound;
}

void warnAboutValues(CliContext& ctx, const GeneralSettings& settings, const QStringList& keys) {
    for (const LocationProblem& p : locationProblems(settings)) {
        if (keys.contains(p.key, Qt::CaseInsensitive))
            ctx.op.message(problemLine(p), Operator::Icon::Warning);
    }
}

} // namespace nodalyx::cli
