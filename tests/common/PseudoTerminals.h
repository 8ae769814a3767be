// Pseudo-terminals stand in for serial ports in the tests: the simulators answer on them and
// NODALYX_COM<n> points the tool at them. Windows has none, so the serial variants of the
// tests are left out there (scripts/test-windows.sh tries a serial port that Wine maps to a
// pseudo-terminal of the Linux simulator instead). Header-only.
#pragma once

#include <QtGlobal>
#include <gtest/gtest.h>
#include <vector>

namespace nodalyx::test {

#ifdef Q_OS_UNIX
inline constexpr bool kHavePseudoTerminals = true;
#else
inline constexpr bool kHavePseudoTerminals = false;
#endif

// {TCP, serial} where there are pseudo-terminals, else {TCP}: for (bool serial : ...).
inline std::vector<bool> tcpAndSerial() {
    return kHavePseudoTerminals ? std::vector<bool>{false, true} : std::vector<bool>{false};
}

} // namespace nodalyx::test

// In a test body or SetUp: the test is skipped where there are no pseudo-terminals.
#define NODALYX_NEEDS_PSEUDO_TERMINALS()                                                           \
    if (!nodalyx::test::kHavePseudoTerminals)                                                      \
    GTEST_SKIP() << "needs pseudo-terminals for its serial port"
