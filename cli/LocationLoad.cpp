#include "LocationLoad.h"

#include "CliText.h"
#include "LocationStore.h"

#include <QFileInfo>

namespace nodalyx::cli {

bool loadLocationSettings(const CliContext& ctx, const QString& name, SharedState& state,
                          CountingOperator& op) {
    state.programDir = ctx.programDir;
    if (const QString refusal = checkLocationName(name); !refusal.isEmpty()) {
        op.message(refusal, Operator::Icon::Critical);
        return false;
    }
    const QString file = name + QStringLiteral(".fgr");
    if (!QFileInfo(ctx.programDir + QLatin1Char('/') + file).isFile()) {
        op.message(
            CliText::tr("The location \"%1\" does not exist in \"%2\".").arg(name, ctx.programDir),
            Operator::Icon::Critical);
        return false;
    }
    const int before = op.messages();
    if (!ReadFGR(state, file, op) && op.messages() == before)
        op.message(CliText::tr("\"%1\" is not a location file.").arg(file),
                   Operator::Icon::Critical);
    state.locationName = name;
    return op.messages() == before;
}

} // namespace nodalyx::cli
