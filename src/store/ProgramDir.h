#pragma once

#include <QString>

namespace nodalyx {

// The program directory: dirOption when given (created when missing); else the directory of
// the executable when it is writable; else the per-user application data directory.
QString resolveProgramDir(const QString& dirOption);

} // namespace nodalyx
