#pragma once

#include <QLatin1String>
#include <QStringView>
#include <optional>

namespace nodalyx {

// Small matchers for the fixed shapes the files, the environment and the port names use.
// The core checks its texts with these rather than with regular expressions: its routines
// also run on worker threads, and with the MinGW runtime a regular-expression match leaves a
// thread-local behind whose destructor faults when the thread ends.

// The number of ASCII digits 0-9 in a row from pos on.
qsizetype asciiDigitsAt(QStringView text, qsizetype pos);

// Only the ASCII digits 0-9, at least minCount and at most maxCount of them.
bool isAsciiDigits(QStringView text, qsizetype minCount, qsizetype maxCount);

// The number in "<prefix><1..maxDigits digits><suffix>" ("COM12", "[COM3]"), prefix and
// suffix compared with cs; nothing for any other text.
std::optional<int> numberBetween(QStringView text, QLatin1String prefix, QLatin1String suffix,
                                 Qt::CaseSensitivity cs, qsizetype maxDigits);

// A decimal number as the files' readers take it: blanks (spaces) around, an optional sign,
// digits with an optional decimal point (at least one digit), an optional exponent.
bool isDecimalNumber(QStringView text);

} // namespace nodalyx
