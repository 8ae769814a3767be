#pragma once

#include <QDateTime>
#include <QJsonObject>
#include <QString>

namespace nodalyx {

// One unit channel of one read while monitoring: what the record file and
// `nodalyx-cli monitor` write, a row each.
struct MonitorRow {
    QDateTime time;
    int highway = 1;  // 1 or 2
    int address = 0;  // the bus address 0..63
    QString location; // the unit's location text
    int channel = 1;  // 1 or 2
    qint64 in = 0, out = 0;
    qint64 inChange = 0, outChange = 0; // since monitoring started
};

// "time,highway,address,location,channel,in,out,in_change,out_change"
QString monitorCsvHeader();
// One CSV line without its line break: the time in ISO 8601 with the UTC offset, the
// location quoted when it holds a comma, a quote or a line break (quotes doubled).
QString monitorCsvLine(const MonitorRow& row);
// The same members as a JSON object (`--json`: one object a line).
QJsonObject monitorJson(const MonitorRow& row);

} // namespace nodalyx
