#pragma once

#include "Cancellation.h"
#include "Link.h"
#include "LoggerClock.h"
#include "Operator.h"
#include "SharedState.h"

#include <QDateTime>
#include <QString>
#include <functional>
#include <optional>

namespace nodalyx {

struct ClockSetting {
    QString txtDate;                  // "dd-mm-20yy  hh:mm" read back, "Failed!", or empty
    std::optional<LoggerClock> clock; // the clock read back
    QDateTime readAt;                 // the PC's time just after the read-back
    bool cancelled = false;           // stopped after the write; the link was closed
};

// "No connection with datalogger!", with where and why when the link knows it.
QString noConnectionText(const Link& link);

// "Set Date/Time": writes the PC's local time `now` (hour, minute, year - 2000, month, day,
// weekday with Sunday = 1) to the logger of the location and reads the clock back. Without a
// link the operator is told once: "No connection with datalogger! where: why" for a TCP
// connection (a serial port that cannot be opened is told by the link); a clock the logger does not
// acknowledge gives "Failed!"; a failed read-back leaves the text empty. A PC date outside
// 2000..2255 cannot be sent and is refused with a message. `pcClock` gives the PC's time for
// the read-back (the local time by default). A TCP connection is closed at the end. cancel is
// looked at after the write: a cancelled setting skips the read-back and closes the link.
ClockSetting SetLoggerDateTime(SharedState& state, Link& link, Operator& op, const QDateTime& now,
                               const std::function<QDateTime()>& pcClock = {},
                               const Cancellation* cancel = nullptr);

} // namespace nodalyx
