#include "ConsoleOutput.h"

#include <QtGlobal>

#ifdef Q_OS_WIN
#include <cstdio>
#include <windows.h>
#endif

namespace nodalyx {

void attachParentConsole() {
#ifdef Q_OS_WIN
    const HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    if (out != nullptr && out != INVALID_HANDLE_VALUE)
        return; // redirected: the handles lead somewhere already
    if (!AttachConsole(ATTACH_PARENT_PROCESS))
        return; // started from the desktop: nobody to print to
    [[maybe_unused]] FILE* f = std::freopen("CONOUT$", "w", stdout);
    f = std::freopen("CONOUT$", "w", stderr);
#endif
}

} // namespace nodalyx
