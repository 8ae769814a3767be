#include "LoggerClock.h"

namespace nodalyx {

LoggerClock LoggerClock::fromDateTime(const QDateTime& when) {
    const QDate date = when.date();
    const QTime time = when.time();
    LoggerClock clock;
    clock.hour = time.hour();
    clock.minute = time.minute();
    clock.year = date.year() - 2000;
    clock.month = date.month();
    clock.day = date.day();
    clock.weekday = date.dayOfWeek() % 7 + 1; // Qt: Monday 1 .. Sunday 7
    return clock;
}

QString LoggerClock::text() const {
    auto two = [](int v) { return QStringLiteral("%1").arg(v, 2, 10, QLatin1Char('0')); };
    return two(day) + QLatin1Char('-') + two(month) + QStringLiteral("-20") + two(year) +
           QStringLiteral("  ") + two(hour) + QLatin1Char(':') + two(minute);
}

} // namespace nodalyx
