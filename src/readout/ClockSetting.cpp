#include "ClockSetting.h"
#include "LoggerSession.h"

namespace nodalyx {

QString noConnectionText(const Link& link) {
    const QString text = QStringLiteral("No connection with datalogger!");
    return link.lastFailure().isEmpty() ? text : text + QLatin1Char(' ') + link.lastFailure();
}

ClockSetting SetLoggerDateTime(SharedState& state, Link& link, Operator& op, const QDateTime& now,
                               const std::function<QDateTime()>& pcClock,
                               const Cancellation* cancel) {
    ClockSetting out;
    SessionPolicy policy;
    policy.close = SessionPolicy::Close::TcpOnly;
    policy.failureText = [](const Link& l) { return noConnectionText(l); };
    LoggerSession session(link, op, state.settings, policy);
    if (session.start() != LoggerSession::Start::Ready)
        return out;
    const int year = now.date().year();
    if (year < 2000 || year > 2255) {
        session.releaseHourglass();
        op.message(QStringLiteral("The PC's date %1 cannot be sent: the logger keeps the years "
                                  "2000 to 2255.")
                       .arg(now.date().toString(QStringLiteral("dd-MM-yyyy"))),
                   Operator::Icon::Critical);
        return out;
    }
    if (!link.WriteLoggerClock(LoggerClock::fromDateTime(now))) {
        out.txtDate = QStringLiteral("Failed!");
        return out;
    }
    if (cancel && cancel->requested()) {
        out.cancelled = true;
        session.close();
        return out;
    }
    LoggerClock clock;
    if (link.ReadLoggerClock(clock)) {
        out.txtDate = clock.text();
        out.clock = clock;
        out.readAt = pcClock ? pcClock() : QDateTime::currentDateTime();
    }
    return out;
}

} // namespace nodalyx
