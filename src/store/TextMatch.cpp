#include "TextMatch.h"

namespace nodalyx {

namespace {

bool isAsciiDigit(QChar c) {
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

qsizetype blanksAt(QStringView text, qsizetype pos) {
    qsizetype n = 0;
    while (pos + n < text.size() && text[pos + n] == QLatin1Char(' '))
        ++n;
    return n;
}

bool isSign(QStringView text, qsizetype pos) {
    return pos < text.size() && (text[pos] == QLatin1Char('+') || text[pos] == QLatin1Char('-'));
}

} // namespace

qsizetype asciiDigitsAt(QStringView text, qsizetype pos) {
    qsizetype n = 0;
    while (pos + n < text.size() && isAsciiDigit(text[pos + n]))
        ++n;
    return n;
}

bool isAsciiDigits(QStringView text, qsizetype minCount, qsizetype maxCount) {
    return text.size() >= minCount && text.size() <= maxCount &&
           asciiDigitsAt(text, 0) == text.size();
}

std::optional<int> numberBetween(QStringView text, QLatin1String prefix, QLatin1String suffix,
                                 Qt::CaseSensitivity cs, qsizetype maxDigits) {
    if (!text.startsWith(prefix, cs) || !text.endsWith(suffix, cs) ||
        text.size() < prefix.size() + suffix.size())
        return std::nullopt;
    const QStringView digits = text.mid(prefix.size(), text.size() - prefix.size() - suffix.size());
    if (!isAsciiDigits(digits, 1, maxDigits))
        return std::nullopt;
    return digits.toInt();
}

bool isDecimalNumber(QStringView text) {
    qsizetype pos = blanksAt(text, 0);
    if (isSign(text, pos))
        ++pos;
    const qsizetype whole = asciiDigitsAt(text, pos);
    pos += whole;
    qsizetype fraction = 0;
    if (pos < text.size() && text[pos] == QLatin1Char('.')) {
        fraction = asciiDigitsAt(text, pos + 1);
        pos += 1 + fraction;
    }
    if (whole == 0 && fraction == 0)
        return false;
    if (pos < text.size() && (text[pos] == QLatin1Char('e') || text[pos] == QLatin1Char('E'))) {
        qsizetype at = pos + 1;
        if (isSign(text, at))
            ++at;
        const qsizetype exponent = asciiDigitsAt(text, at);
        if (exponent == 0)
            return false;
        pos = at + exponent;
    }
    pos += blanksAt(text, pos);
    return pos == text.size();
}

} // namespace nodalyx
