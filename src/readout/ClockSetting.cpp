#include "ClockSetting.h"

#include <QPointer>

namespace nodalyx {

QString noConnectionText(const Link& link) {
    const QString text = QStringLiteral("No connection with datalogger!");
    return link.lastFailure().isEmpty() ? text : text + QLatin1Char(' ') + link.lastFailure();
}

ClockSetting SetLoggerDateTime(SharedState& state, Link& link, Operator& op, const QDateTime& now,
                               const std::function<QDateTime()>& pcClock,
                               const Cancellation* cancel) {
    ClockSetting out;
    if (link.refuseWhenUnavailable())
        return out;
    BusyGuard hourglass(op);
    if (!link.OpenLink()) {
        hourglass.release();
        // A serial port that cannot be opened has been told by the link, naming the device.
        if (state.settings.ConnType != 1)
            op.message(noConnectionText(link), Operator::Icon::Critical);
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
    } else if (cancel && cancel->requested()) {
        out.cancelled = true;
        if (alive)
            link.CloseLink();
        return out;
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
