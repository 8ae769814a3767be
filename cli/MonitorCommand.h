#pragma once

#include "CliContext.h"

namespace nodalyx::cli {

// `monitor LOCATION [--every S] [--count K] [--csv FILE] [--json]`: the counter read-out
// repeated every S seconds (1..3600, default 1), K times (default: until Ctrl-C, which ends
// after the read under way with exit 0). One row per active unit channel per read: CSV on
// stdout (the header first), or --json one object a line; --csv FILE records the CSV into
// FILE instead (continued when it is a count record already). Exit 1 when the logger could
// not be reached, after three failed reads in a row, or when the record cannot be written.
int runMonitorCommand(CliContext& ctx, const QStringList& args);

} // namespace nodalyx::cli
