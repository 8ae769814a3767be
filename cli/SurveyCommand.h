#pragma once

#include "CliContext.h"

namespace nodalyx::cli {

// `survey [LOCATION...] [--jobs N] [--json|--csv] [--settings] [--sync-clock] [--max-drift MIN]`:
// every location (or those named) surveyed at once (TCP ones at most N at a time, default 16;
// serial ones one after another per port): whether its logger was reached and why not, its
// serial number and whether it holds the location's, its clock and drift, with --settings the
// general settings that differ, with --sync-clock the clock set where it drifts more than MIN
// minutes (default 1). A table, --json an array, --csv a header and one line each, in the order
// of the locations; progress on stderr when it is a terminal, and one summary line. Ctrl-C
// cancels: the exchanges under way end, no further location starts, and what was found so far
// is printed. Exit 0 all well, 3 when a logger is another one, its settings differ or its clock
// drifts (and was not set), 1 when a logger could not be reached or its survey is incomplete
// (1 wins over 3).
int runSurveyCommand(CliContext& ctx, const QStringList& args);

} // namespace nodalyx::cli
