#pragma once

#include <QString>

namespace nodalyx {

// The program directory, the folder that holds the location files. Every program of the tool
// finds it by the same rule:
// 1. dirOption (the --dir option) when given, made when missing;
// 2. else the executable's directory when it already holds location files (*.fgr): an
//    installation copied whole keeps its locations beside the program;
// 3. else the per-user data directory userDataDir(), made when missing.
// The answer is an absolute path. A directory that cannot be made is still answered; the
// first listing or save there reports the failure with its path.
QString resolveProgramDir(const QString& dirOption);
QString resolveProgramDir(const QString& dirOption, const QString& exeDir,
                          const QString& userDataDir);

// "<generic data location>/nodalyx": ~/.local/share/nodalyx on Linux (or $XDG_DATA_HOME/nodalyx),
// %LOCALAPPDATA%/nodalyx on Windows. The same for every program of the tool.
QString userDataDir();

} // namespace nodalyx
