#include "MonitorRow.h"

namespace nodalyx {

namespace {

QString isoTime(const QDateTime& time) {
    return time.toOffsetFromUtc(time.offsetFromUtc()).toString(Qt::ISODate);
}

QString csvField(const QString& text) {
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')) &&
        !text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r')))
        return text;
    QString quoted = text;
    quoted.replace(QLatin1String("\""), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

} // namespace

QString monitorCsvHeader() {
    return QStringLiteral("time,highway,address,location,channel,in,out,in_change,out_change");
}

QString monitorCsvLine(const MonitorRow& r) {
    return QStringLiteral("%1,%2,%3,%4,%5,%6,%7,%8,%9")
        .arg(isoTime(r.time))
        .arg(r.highway)
        .arg(r.address)
        .arg(csvField(r.location))
        .arg(r.channel)
        .arg(r.in)
        .arg(r.out)
        .arg(r.inChange)
        .arg(r.outChange);
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
