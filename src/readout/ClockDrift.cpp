#include "ClockDrift.h"

namespace nodalyx {

std::optional<qint64> clockDriftMinutes(const LoggerClock& logger, const QDateTime& pc) {
    const QDate date(2000 + logger.year, logger.month, logger.day);
    const QTime time(logger.hour, logger.minute);
    if (!date.isValid() || !time.isValid())
        return std::nullopt;
    // Both are wall-clock times of the same place: compare them as such, so a change of
    // daylight saving time between them does not count.
    const QTime pcMinute(pc.time().hour(), pc.time().minute());
    return pc.date().daysTo(date) * 24 * 60 + pcMinute.secsTo(time) / 60;
}

QString clockDriftText(std::optional<qint64> minutes) {
    if (!minutes)
        return QStringLiteral("logger clock is not a valid date");
    if (*minutes == 0)
        return QStringLiteral("logger clock agrees with the PC");
    if (*minutes < 0)
        return QStringLiteral("logger clock %1 min behind the PC").arg(-*minutes);
    return QStringLiteral("logger clock %1 min ahead of the PC").arg(*minutes);
}

QString pcClockText(const QDateTime& pc) {
    return pc.toString(QStringLiteral("dd-MM-yyyy  HH:mm"));
}

} // namespace nodalyx
