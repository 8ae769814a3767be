#include "MonitorRow.h"
#include "CsvText.h"

#include <QStringList>

namespace nodalyx {

namespace {

QString isoTime(const QDateTime& time) {
    return time.toOffsetFromUtc(time.offsetFromUtc()).toString(Qt::ISODate);
}

} // namespace

QString monitorCsvHeader() {
    return QStringLiteral("time,highway,address,location,channel,in,out,in_change,out_change");
}

QString monitorCsvLine(const MonitorRow& r) {
    // Joined, not .arg() chained: a location text may hold "%1".
    return QStringList{
        isoTime(r.time),        QString::number(r.highway),  QString::number(r.address),
        csvField(r.location),   QString::number(r.channel),  QString::number(r.in),
        QString::number(r.out), QString::number(r.inChange), QString::number(r.outChange)}
        .join(QLatin1Char(','));
}

QJsonObject monitorJson(const MonitorRow& r) {
    return {{"time", isoTime(r.time)},
            {"highway", r.highway},
            {"address", r.address},
            {"location", r.location},
            {"channel", r.channel},
            {"in", double(r.in)},
            {"out", double(r.out)},
            {"in_change", double(r.inChange)},
            {"out_change", double(r.outChange)}};
}

} // namespace nodalyx
