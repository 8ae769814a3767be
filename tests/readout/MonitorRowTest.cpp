// The rows monitoring writes: CSV and JSON.
#include "MonitorRow.h"
#include "CountRecord.h"
#include "TempDir.h"

#include <QFile>

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

// A record cut short by a crash is continued on a line of its own, in Windows-1252.
TEST(CountRecordTest, ACutShortLastLineIsEndedBeforeTheNextRows) {
    test::TempDir dir;
    const QString path = dir.path() + QStringLiteral("/r.csv");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(monitorCsvHeader().toLatin1() + "\r\n2026-12-07T21:05:09Z,2,1");
    file.close();
    CountRecord record;
    ASSERT_TRUE(record.open(path)) << record.errorString().toStdString();
    MonitorRead read;
    read.rows << row(QStringLiteral("Caf\u00e9 \u20ac"));
    ASSERT_TRUE(record.write(read));
    record.close();
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = file.readAll().split('\n');
    ASSERT_EQ(lines.size(), 4);
    EXPECT_EQ(lines[1], "2026-12-07T21:05:09Z,2,1\r");
    EXPECT_TRUE(lines[2].startsWith("2026-12-07T21:05:09+01:00,2,17,Caf\xe9 \x80,1,"))
        << lines[2].toStdString();
}
