#pragma once

#include "LoggerClock.h"

#include <QDateTime>
#include <QString>
#include <optional>

namespace nodalyx {

// How far the logger's clock is from the PC's, in whole minutes (the logger keeps no
// seconds, so the PC's time counts to the minute): positive when the logger is ahead. None
// when the logger's clock is no valid date and time.
std::optional<qint64> clockDriftMinutes(const LoggerClock& logger, const QDateTime& pc);

// "logger clock 3 min behind the PC", "logger clock 2 min ahead of the PC", "logger clock
// agrees with the PC"; "logger clock is not a valid date" for none.
QString clockDriftText(std::optional<qint64> minutes);

// The PC's local time as the logger's clock shows: "dd-mm-yyyy  hh:mm".
QString pcClockText(const QDateTime& pc);

} // namespace nodalyx
