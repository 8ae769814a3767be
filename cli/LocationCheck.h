#pragma once

#include "CliContext.h"
#include "GeneralSettings.h"

#include <QStringList>

namespace nodalyx::cli {

// `check LOCATION [--json]`: every value of the location that the configuration window, the
// new-location window or the upload would not take, one `KEY: "VALUE" - RULE` line each (or a
// JSON array of {key, value, rule}). Exits 0 when there is none, 3 when there are some.
int runCheckCommand(CliContext& ctx, const QStringList& args);

// After `set`: a warning through ctx.op for each value among keys (file keys in any case)
// that breaks a rule. The values are stored all the same.
void warnAboutValues(CliContext& ctx, const GeneralSettings& settings, const QStringList& keys);

} // namespace nodalyx::cli
