#pragma once

#include "CliContext.h"

namespace nodalyx::cli {

// hwtest LOCATION --hw 1|2 --comport N [--passes K] [--json]: the highway test on the
// location's units of one highway, then its list. Exit 0 when the test ran, 1 when it could
// not start, 2 on a usage error.
int runHwtestCommand(CliContext& ctx, const QStringList& args);

} // namespace nodalyx::cli
