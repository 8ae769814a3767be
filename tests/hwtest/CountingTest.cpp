// The counting rule of the test list: baseline, count, wrap, and the type 1 channel mapping.
#include "TestRow.h"
#include "UnitReplies.h"

#include <gtest/gtest.h>
#include <vector>

using namespace nodalyx::hw;

// The first value is the baseline and counts grow from it; a counter that wrapped counts on
// from 65536; a counter reading zero at the start keeps zero as its baseline, so the units
// counted after the start stay in the count.
TEST(Counting, BaselineCountAndWrap) {
    struct Case {
        int channel;
        std::vector<int> values;
        int cc, c, count;
    };
    const Case cases[] = {{1, {1000}, 1000, 1000, 0},
                          {1, {1000, 1017}, 1000, 1017, 17},
                          {4, {65000, 100}, 65000, 100, 636}, // 65536 - 65000 + 100
                          {2, {0, 5, 9}, 0, 9, 9}};
    for (const Case& k : cases) {
        SCOPED_TRACE(testing::PrintToString(k.values));
        TestRow row;
        for (int v : k.values)
            updateChannel(row, k.channel, v);
        const int i = k.channel - 1;
        EXPECT_EQ(std::tuple(row.CC[i], row.C[i], row.Count[i]), std::tuple(k.cc, k.c, k.count));
        const TestRow before = row;
        updateChannel(row, 0, 9); // no such channel: nothing changes
        updateChannel(row, 5, 9);
        EXPECT_EQ(row, before);
    }
}

// Two answers of a unit; one that does not decode leaves the row as it was.
TEST(Counting, AnswersFeedTheChannels) {
    using Four = std::array<int, 4>;
    QByteArray noMarker = type2Reply(UnitCode{}, {5, 6, 7, 8});
    noMarker[40] = char(0xF5);
    const struct {
        QByteArray first, second;
        bool taken;
        Four c, cc, count;
    } rows[] = {
        {type2Reply(UnitCode{}, {10, 20, 30, 40}), type2Reply(UnitCode{}, {11, 22, 33, 44}), true,
         Four{11, 22, 33, 44}, Four{10, 20, 30, 40}, Four{1, 2, 3, 4}},
        // type 1: channel 1 <- c1, channel 2 <- c3; C3 and C4 show c2 and c4 uncounted
        {type1Reply(1, {100, 7, 200, 9}), type1Reply(1, {103, 8, 210, 11}), true,
         Four{103, 210, 8, 11}, Four{100, 200, 0, 0}, Four{3, 10, 0, 0}},
        {type1Reply(1, {1, 2, 3, 4}), noMarker, false, Four{1, 3, 2, 4}, Four{1, 3, 0, 0}, Four{}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.second.toHex(' ').toStdString());
        TestRow t;
        ASSERT_TRUE(takeReply(t, row.first));
        EXPECT_EQ(takeReply(t, row.second), row.taken);
        EXPECT_EQ(t.RX, row.taken ? 2 : 1);
        EXPECT_EQ(t.TX, 0);
        EXPECT_EQ(t.C, row.c);
        EXPECT_EQ(t.CC, row.cc);
        EXPECT_EQ(t.Count, row.count);
    }
}
