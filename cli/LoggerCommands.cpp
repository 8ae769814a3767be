#include "CliContext.h"

namespace nodalyx::cli {

bool isLoggerCommand(const QString& command) {
    static const QStringList kCommands{"serial", "clock", "refresh"};
    return kCommands.contains(command);
}

int runLoggerCommand(CliContext&, const QString& command, const QStringList&) {
    return usageError(QStringLiteral("'%1' is not built yet").arg(command));
}

} // namespace nodalyx::cli
