#pragma once

#include <QDateTime>
#include <QString>

namespace nodalyx {

// The logger's clock as it travels on the wire: one byte each.
struct LoggerClock {
    int hour = 0;
    int minute = 0;
    int year = 0; // year - 2000
    int month = 1;
    int day = 1;
    int weekday = 1; // 1 = Sunday .. 7 = Saturday

    // The clock for a PC date and time (seconds are dropped).
    static LoggerClock fromDateTime(const QDateTime& when);
    // "dd-mm-20yy  hh:mm", two blanks between date and time.
    QString text() const;

    friend bool operator==(const LoggerClock&, const LoggerClock&) = default;
};

} // namespace nodalyx
