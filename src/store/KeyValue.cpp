#include "KeyValue.h"

#include "TextConvert.h"

namespace nodalyx {

KeyValue splitKeyValue(const QString& line) {
    QString text = line;
    text.remove(QLatin1Char('\t'));
    const qsizetype equals = text.indexOf(QLatin1Char('='));
    if (equals < 0)
        return {{}, {}, QStringLiteral("the line has no \"=\"")};
    const qsizetype brace = text.indexOf(QLatin1Char('{'));
    if (brace >= 0 && brace < equals)
        return {{}, {}, QStringLiteral("the \"{\" comes before the \"=\"")};
    const qsizetype end = brace < 0 ? text.size() : brace;
    return {trimBlanks(text.left(equals)), trimBlanks(text.mid(equals + 1, end - equals - 1)), {}};
}

KeyResult keyResult(const QString& conversionError, const char* key, const QString& value) {
    if (conversionError.isEmpty())
        return {};
    double number = 0;
    const bool numeric = toNumber(value, number).isEmpty();
    const QString shown = numeric ? value : QLatin1Char('"') + value + QLatin1Char('"');
    return {KeyResult::Rejected,
            QStringLiteral("%1 value %2 %3").arg(QLatin1String(key), shown, conversionError)};
}

QStringList splitLines(const QString& text) {
    QStringList lines = text.split(QLatin1Char('\n'));
    if (lines.last().isEmpty())
        lines.removeLast();
    for (QString& line : lines) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
    }
    return lines;
}

} // namespace nodalyx
