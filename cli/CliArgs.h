#pragma once

#include <QString>

namespace nodalyx::cli {

// A whole number from min to max written in decimal; out is left alone when it is none.
inline bool parseNumber(const QString& text, int min, int max, int& out) {
    bool ok = false;
    const int v = text.toInt(&ok);
    if (!ok || v < min || v > max)
        return false;
    out = v;
    return true;
}

} // namespace nodalyx::cli
