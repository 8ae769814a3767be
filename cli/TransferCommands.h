#pragma once

#include "CliContext.h"

namespace nodalyx::cli {

// download LOCATION [--hw 1] [--hw 2]: the highway steps of "Start Download" (no --hw: both).
// upload LOCATION [--hw 1] [--hw 2] [--yes]: the upload sequence with its highway steps.
// Exit 0 when every file asked for went through, 1 otherwise, 2 on a usage error. Ctrl-C
// cancels the running transfer.
bool isTransferCommand(const QString& command);
int runTransferCommand(CliContext& ctx, const QString& command, const QStringList& args);

} // namespace nodalyx::cli
