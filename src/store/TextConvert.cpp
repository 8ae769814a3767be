#include "TextConvert.h"

#include "TextMatch.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace nodalyx {

namespace {

const QString kOk;

QString outOfRange(qint64 low, qint64 high) {
    return QStringLiteral("is out of range %1..%2").arg(low).arg(high);
}

// A whole number in [low, high] after rounding halves to even.
QString toWhole(const QString& text, qint64 low, qint64 high, qint64& out) {
    double value = 0;
    QString error = toNumber(text, value);
    if (!error.isEmpty())
        return error;
    const double rounded = roundHalfEven(value);
    if (rounded < double(low) || rounded > double(high))
        return outOfRange(low, high);
    out = qint64(rounded);
    return kOk;
}

} // namespace

double roundHalfEven(double value) {
    const double lower = std::floor(value);
    const double fraction = value - lower;
    if (fraction > 0.5)
        return lower + 1;
    if (fraction < 0.5)
        return lower;
    return std::fmod(lower, 2.0) == 0 ? lower : lower + 1;
}

QString toNumber(const QString& text, double& out) {
    if (!isDecimalNumber(text))
        return QStringLiteral("is not a number");
    bool ok = false;
    const double value = trimBlanks(text).toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return QStringLiteral("is out of range");
    out = value;
    return kOk;
}

QString toInt16(const QString& text, qint16& out) {
    qint64 value = 0;
    QString error = toWhole(text, -32768, 32767, value);
    if (error.isEmpty())
        out = qint16(value);
    return error;
}

QString toByte(const QString& text, quint8& out) {
    qint64 value = 0;
    QString error = toWhole(text, 0, 255, value);
    if (error.isEmpty())
        out = quint8(value);
    return error;
}

QString toFloat(const QString& text, float& out) {
    double value = 0;
    QString error = toNumber(text, value);
    if (!error.isEmpty())
        return error;
    if (std::abs(value) > double(std::numeric_limits<float>::max()))
        return QStringLiteral("is out of range");
    out = float(value);
    return kOk;
}

QString toBoolean(const QString& text, bool& out) {
    const QString word = trimBlanks(text);
    if (word.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0) {
        out = true;
        return kOk;
    }
    if (word.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0) {
        out = false;
        return kOk;
    }
    double value = 0;
    if (!toNumber(text, value).isEmpty())
        return QStringLiteral("is neither a number nor True or False");
    out = value != 0;
    return kOk;
}

QString floatText(float value) {
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    return QString::fromLatin1(buffer, int(result.ptr - buffer));
}

QString trimBlanks(const QString& text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin] == QLatin1Char(' '))
        ++begin;
    while (end > begin && text[end - 1] == QLatin1Char(' '))
        --end;
    return text.mid(begin, end - begin);
}

bool parseInteger(const QString& text, int min, int max, int& out) {
    bool ok = false;
    const int v = text.toInt(&ok);
    if (!ok || v < min || v > max)
        return false;
    out = v;
    return true;
}

} // namespace nodalyx
