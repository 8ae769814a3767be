#include "PortChoice.h"

#include "TextMatch.h"
#include "ValueRules.h"

#include <QMap>
#include <QSet>

namespace nodalyx {

namespace {

constexpr int kListedNumbers = 16; // the numbers every box offers

} // namespace

QList<PortItem> portItems(const QList<ListedPort>& listed) {
    QMap<int, const ListedPort*> numbered;
    QList<PortItem> unnumbered;
    for (const ListedPort& port : listed) {
        if (port.number && !numbered.contains(*port.number))
            numbered.insert(*port.number, &port);
        else if (!port.number && port.present)
            unnumbered << PortItem{port.label(), std::nullopt, port.info.device};
    }
    QList<PortItem> items;
    for (int n = 1; n <= kListedNumbers; ++n) {
        const ListedPort* port = numbered.value(n);
        items << PortItem{port ? port->label() : QString::number(n), n, {}};
    }
    for (auto it = numbered.cbegin(); it != numbered.cend(); ++it)
        if (it.key() > kListedNumbers)
            items << PortItem{it.value()->label(), it.key(), {}};
    return items + unnumbered;
}

std::optional<int> portNumberOf(const QString& text) {
    // "<blanks>3<blanks>" alone, or followed by " - " and the port's description
    qsizetype start = 0;
    while (start < text.size() && text[start].isSpace())
        ++start;
    const qsizetype digits = asciiDigitsAt(text, start);
    if (digits < 1 || digits > 3)
        return std::nullopt;
    const qsizetype end = start + digits;
    qsizetype rest = end;
    while (rest < text.size() && text[rest].isSpace())
        ++rest;
    const bool described = rest > end && text[rest - 1] == QLatin1Char(' ') &&
                           QStringView(text).mid(rest).startsWith(QLatin1String("- "));
    if (rest < text.size() && !described)
        return std::nullopt;
    const int n = text.mid(start, end - start).toInt();
    return n >= 1 && n <= kHighestComport ? std::optional<int>(n) : std::nullopt;
}

std::optional<int> lowestFreePortNumber(const QList<ListedPort>& listed) {
    QSet<int> used;
    for (const ListedPort& port : listed) {
        if (port.number)
            used.insert(*port.number);
        if (const std::optional<int> n = SerialPorts::defaultNumberOf(port.info.device);
            n && port.present)
            used.insert(*n); // a serial port of the machine keeps its number
    }
    for (int n = 1; n <= kHighestComport; ++n)
        if (!used.contains(n))
            return n;
    return std::nullopt;
}

std::optional<ProbeAnswer> soleMatch(const QList<ProbeAnswer>& answers) {
    const QList<ProbeAnswer> found = matchingAnswers(answers);
    return found.size() == 1 ? std::optional<ProbeAnswer>(found.first()) : std::nullopt;
}

QString answerText(const ProbeAnswer& answer) {
    const QString port = answer.number
                             ? QStringLiteral("%1 - %2").arg(*answer.number).arg(answer.device)
                             : answer.device;
    if (!answer.skipped.isEmpty())
        return QStringLiteral("%1: skipped, %2").arg(port, answer.skipped);
    if (!answer.serial)
        return QStringLiteral("%1: no answer").arg(port);
    return QStringLiteral("%1: %2%3")
        .arg(port, *answer.serial,
             answer.matches.value_or(false) ? QStringLiteral(" (this location's logger)")
                                            : QString());
}

} // namespace nodalyx
