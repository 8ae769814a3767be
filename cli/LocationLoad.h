#pragma once

#include "CliContext.h"
#include "CountingOperator.h"
#include "SharedState.h"

namespace nodalyx::cli {

// Loads the settings of the location a command names from the program directory into state
// (its name into state.locationName). A refused name, a missing file or a file that is no
// location file is told through op; false then.
bool loadLocationSettings(const CliContext& ctx, const QString& name, SharedState& state,
                          CountingOperator& op);

} // namespace nodalyx::cli
