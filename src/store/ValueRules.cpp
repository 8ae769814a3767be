#include "ValueRules.h"

#include <QRegularExpression>
#include <QStringList>
#include <algorithm>

namespace nodalyx {

namespace {
constexpr int kOctetDigits = 3;
} // namespace

bool isNumberIn(const QString& text, int low, int high) {
    static const QRegularExpression digits(QStringLiteral("^[0-9]{1,5}$"));
    if (!digits.match(text).hasMatch())
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
    static const QRegularExpression time(QStringLiteral("^([01][0-9]|2[0-3]):[0-5][0-9]$"));
    return time.match(text).hasMatch();
}

} // namespace nodalyx
