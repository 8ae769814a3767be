// The counts kept for the monitoring chart: the window, several channels, failed highways.
#include "CountHistory.h"

#include <QTimeZone>
#include <gtest/gtest.h>

using namespace nodalyx;

namespace {

const QDateTime kStart(QDate(2026, 12, 7), QTime(10, 0), QTimeZone::utc());

MonitorRow row(int highway, int address, int channel, qint64 inChange, qint64 outChange,
               const QString& location = QStringLiteral("Door")) {
    MonitorRow r;
    r.highway = highway;
    r.address = address;
    r.channel = channel;
    r.location = location;
    r.in = inChange + 65000; // the raw counts are not what the history keeps
    r.out = outChange + 17;
    r.inChange = inChange;
    r.outChange = outChange;
    return r;
}

// A read at `seconds` after the start with the given rows; `ok` when both highways answered.
MonitorRead read(double seconds, QList<MonitorRow> rows, bool ok = true) {
    MonitorRead r;
    r.time = kStart.addMSecs(qint64(seconds * 1000));
    r.ok = ok;
    r.highwayRead = {true, ok};
    for (MonitorRow& row : rows)
        row.time = r.time;
    r.rows = rows;
    return r;
}

qint64 at(double seconds) {
    return kStart.addMSecs(qint64(seconds * 1000)).toMSecsSinceEpoch();
}

QList<qint64> timesOf(const std::deque<CountPoint>& points) {
    QList<qint64> times;
    for (const CountPoint& p : points)
        times << p.msecs;
    return times;
}

} // namespace

TEST(CountHistoryTest, PointsOlderThanTheWindowBeforeTheNewestReadAreDropped) {
    struct Case {
        const char* what;
        QList<double> reads; // seconds after the start, in the order they are added
        QList<double> kept;
    };
    const Case cases[] = {
        {"all within 60 s", {0, 30, 60}, {0, 30, 60}},
        {"one just out", {0, 30, 60.001}, {30, 60.001}},
        {"a long gap leaves the newest", {0, 1, 2, 500}, {500}},
        {"an older read is ignored", {0, 30, 20}, {0, 30}},
        {"the same time twice", {5, 5}, {5, 5}},
    };
    for (const Case& c : cases) {
        CountHistory history(60 * 1000);
        qint64 in = 0;
        for (double s : c.reads)
            history.add(read(s, {row(1, 3, 1, in++, 0)}));
        QList<qint64> expected;
        for (double s : c.kept)
            expected << at(s);
        EXPECT_EQ(timesOf(history.points({1, 3, 1})), expected) << c.what;
    }
}

TEST(CountHistoryTest, SeveralChannelsAndAFailedHighway) {
    CountHistory history(60 * 1000);
    history.add(read(0, {row(2, 63, 1, 0, 0, "Gate"), row(1, 3, 2, 0, 0, "Hall\\East"),
                         row(1, 3, 1, 0, 0, "Hall\\East")}));
    // Highway 2 did not answer: its channel gets no point, highway 1 goes on.
    history.add(
        read(40, {row(1, 3, 1, 5, 2, "Hall\\West"), row(1, 3, 2, 1, 0, "Hall\\West")}, false));
    history.add(read(70, {row(1, 3, 1, 9, 4, "Hall\\West")}, false));

    const QList<SeenChannel> seen = history.channels();
    ASSERT_EQ(seen.size(), 3);
    EXPECT_EQ(seen[0].key, (ChannelKey{1, 3, 1}));
    EXPECT_EQ(seen[1].key, (ChannelKey{1, 3, 2}));
    EXPECT_EQ(seen[2].key, (ChannelKey{2, 63, 1}));
    EXPECT_EQ(seen[0].location, "Hall\\West"); // the latest row's text
    EXPECT_EQ(seen[2].location, "Gate");

    EXPECT_EQ(history.points({1, 3, 1}), (std::deque<CountPoint>{{at(40), 5, 2}, {at(70), 9, 4}}));
    EXPECT_EQ(history.points({1, 3, 2}), (std::deque<CountPoint>{{at(40), 1, 0}}));
    // Its only point left the window when the later reads came: listed, with no points.
    EXPECT_TRUE(history.points({2, 63, 1}).empty());
    EXPECT_TRUE(history.contains({2, 63, 1}));
    EXPECT_FALSE(history.contains({2, 63, 2}));
    EXPECT_TRUE(history.points({2, 1, 1}).empty());
    EXPECT_EQ(history.latestMsecs(), at(70));

    EXPECT_EQ(history.pointsSince({1, 3, 1}, at(41)), (QList<CountPoint>{{at(70), 9, 4}}));
    EXPECT_EQ(history.pointsSince({1, 3, 1}, at(40)).size(), 2);

    history.clear();
    EXPECT_TRUE(history.channels().isEmpty());
    EXPECT_TRUE(history.points({1, 3, 1}).empty());
    history.add(read(1, {row(1, 3, 1, 0, 0)})); // earlier than before the clear: taken
    EXPECT_EQ(history.points({1, 3, 1}).size(), 1u);
}

TEST(CountHistoryTest, ReadsFasterThanOneASecondStayWithinTheLimitOfAChannel) {
    CountHistory history; // two hours
    QList<MonitorRow> rows;
    for (int address : {0, 1, 62, 63})
        rows << row(1, address, 1, 0, 0) << row(2, address, 2, 0, 0);
    const int reads = int(CountHistory::kMaxPointsPerChannel) + 50;
    for (int i = 0; i < reads; ++i) {
        for (MonitorRow& r : rows)
            r.inChange = i;
        history.add(read(i * 0.1, rows)); // ten a second: all within the window
    }
    for (const ChannelKey key : {ChannelKey{1, 0, 1}, ChannelKey{2, 63, 2}}) {
        const std::deque<CountPoint>& points = history.points(key);
        ASSERT_EQ(qsizetype(points.size()), CountHistory::kMaxPointsPerChannel);
        EXPECT_EQ(points.front().in, 50); // the oldest went first
        EXPECT_EQ(points.back().in, reads - 1);
    }
}
