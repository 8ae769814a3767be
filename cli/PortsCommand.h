#pragma once

#include "CliContext.h"

namespace nodalyx::cli {

// `ports [--json]`, `ports map N DEVICE`, `ports unmap N`,
// `ports --probe [LOCATION] [--json]` (exit 1 when no logger, or not the location's, answered).
int runPortsCommand(CliContext& ctx, const QStringList& args);

} // namespace nodalyx::cli
