// The rows monitoring writes: CSV and JSON.
#include "MonitorRow.h"

#include <QTimeZone>
#include <gtest/gtest.h>

using namespace nodalyx;

namespace {
MonitorRow row(const QString& location) {
    MonitorRow r;
    r.time = QDateTime(QDate(2026, 12, 7), QTime(21, 5, 9), QTimeZone(3600));
    r.highway = 2;
    r.address = 17;
    r.location = location;
    r.channel = 1;
    r.in = 65535;
    r.out = 3;
    r.inChange = 70000;
    r.outChange = 4;
    return r;
}
} // namespace

TEST(MonitorRowTest, CsvLinesQuoteOnlyWhatNeedsIt) {
    EXPECT_EQ(monitorCsvHeader(),
              "time,highway,address,location,channel,in,out,in_change,out_change");
    const std::pair<QString, QString> rows[] = {
        {"North door", "2026-12-07T21:05:09+01:00,2,17,North door,1,65535,3,70000,4"},
        {"Hall, east", "2026-12-07T21:05:09+01:00,2,17,\"Hall, east\",1,65535,3,70000,4"},
        {"say \"hi\"", "2026-12-07T21:05:09+01:00,2,17,\"say \"\"hi\"\"\",1,65535,3,70000,4"},
        {"two\nlines", "2026-12-07T21:05:09+01:00,2,17,\"two\nlines\",1,65535,3,70000,4"},
        {"Gate %6", "2026-12-07T21:05:09+01:00,2,17,Gate %6,1,65535,3,70000,4"},
    };
    for (const auto& [location, line] : rows)
        EXPECT_EQ(monitorCsvLine(row(location)), line) << location.toStdString();
}

TEST(MonitorRowTest, JsonHasTheMembersOfTheCsv) {
    const QJsonObject o = monitorJson(row("Hall"));
    EXPECT_EQ(o.value("time").toString(), "2026-12-07T21:05:09+01:00");
    EXPECT_EQ(o.value("address").toInt(), 17);
    EXPECT_EQ(o.value("in_change").toInteger(), 70000);
    EXPECT_EQ(o.keys().size(), 9);
}
