#include "CliContext.h"

namespace nodalyx::cli {

bool isFileCommand(const QString& command) {
    static const QStringList kCommands{"locations", "show", "new", "set", "unit"};
    return kCommands.contains(command);
}

int runFileCommand(CliContext&, const QString& command, const QStringList&) {
    return usageError(QStringLiteral("'%1' is not built yet").arg(command));
}

} // namespace nodalyx::cli
