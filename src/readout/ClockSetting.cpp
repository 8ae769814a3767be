#include "ClockSetting.h"

#include <QPointer>

namespace nodalyx {

ClockSetting SetLoggerDateTime(SharedState& state, Link& link, Operator& op, const QDateTime& now,
                               const std::function<QDateTime()>& pcClock) {
    ClockSetting out;
    if (link.refuseWhenUnavailable())
        return out;
    BusyGuard hourglass(op);
    if (!link.OpenLink()) {
        hourglass.release();
        op.message(QStringLiteral("No connection with datalogger!"), Operator::Icon::Critical);
        return out;
    }
    const int year = now.date().year();
    if (year < 2000 || year > 2255) {
        hourglass.release();
        op.message(QStringLiteral("The PC's date %1 cannot be sent: the logger keeps the years "
                                  "2000 to 2255.")
                       .arg(now.date().toString(QStringLiteral("dd-MM-yyyy"))),
                   Operator::Icon::Critical);
        return out;
    }
    QPointer<Link> alive(&link);
    if (!link.WriteLoggerClock(LoggerClock::fromDateTime(now))) {
        out.txtDate = QStringLiteral("Failed!");
    } else {
        LoggerClock clock;
        if (alive && link.ReadLoggerClock(clock)) {
            out.txtDate = clock.text();
            out.clock = clock;
            out.readAt = pcClock ? pcClock() : QDateTime::currentDateTime();
        }
    }
    if (alive && state.settings.ConnType != 1)
        link.CloseLink();
    return out;
}

} // namespace nodalyx
