#include "ValueRules.h"

#include "TextMatch.h"

#include <QStringList>
#include <algorithm>

namespace nodalyx {

namespace {
constexpr int kOctetDigits = 3;
} // namespace

bool isNumberIn(const QString& text, int low, int high) {
    if (!isAsciiDigits(text, 1, 5))
        return false;
    const int value = text.toInt();
    return value >= low && value <= high;
}

bool isNumberUpTo(const QString& text, int highest) {
    return isNumberIn(text, 0, highest);
}

bool isOctet(const QString& text) {
    return text.size() <= kOctetDigits && isNumberUpTo(text, kHighestOctet);
}

bool isIPv4Address(const QString& text) {
    const QStringList octets = text.split(QLatin1Char('.'));
    return octets.size() == 4 && std::all_of(octets.begin(), octets.end(), isOctet);
}

bool isTime(const QString& text) {
    // hh:mm, 00:00 to 23:59
    if (text.size() != 5 || text[2] != QLatin1Char(':') || !isAsciiDigits(text.left(2), 2, 2) ||
        !isAsciiDigits(text.mid(3), 2, 2))
        return false;
    return text.left(2).toInt() <= 23 && text.mid(3).toInt() <= 59;
}

} // namespace nodalyx
