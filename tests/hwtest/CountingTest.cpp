// The counting rule of the test list: baseline, count, wrap, and the type 1 channel mapping.
#include "TestRow.h"
#include "UnitReplies.h"

#include <gtest/gtest.h>
#include <vector>

using namespace nodalyx::hw;

namespace {
QByteArray type1(const Counters& c) {
    return type1Reply(1, c);
}
QByteArray type2(const Counters& c) {
    return type2Reply(UnitCode{}, c);
}
} // namespace

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
                          {2, {0, 5}, 0, 5, 5},
                          {2, {0, 5, 9}, 0, 9, 9}};
    for (const Case& k : cases) {
        SCOPED_TRACE(testing::PrintToString(k.values));
        TestRow row;
        for (int v : k.values)
            updateChannel(row, k.channel, v);
        const int i = k.channel - 1;
        EXPECT_EQ(row.CC[i], k.cc);
        EXPECT_EQ(row.C[i], k.c);
        EXPECT_EQ(row.Count[i], k.count);
        const TestRow before = row;
        updateChannel(row, 0, 9); // no such channel: nothing changes
        updateChannel(row, 5, 9);
        EXPECT_EQ(row, before);
    }
}

TEST(Counting, Type2AnswersFeedTheFourChannels) {
    TestRow row;
    ASSERT_TRUE(takeReply(row, type2({10, 20, 30, 40})));
    ASSERT_TRUE(takeReply(row, type2({11, 22, 33, 44})));
    EXPECT_EQ(row.RX, 2);
    EXPECT_EQ(row.TX, 0);
    EXPECT_EQ(row.C, (std::array<int, 4>{11, 22, 33, 44}));
    EXPECT_EQ(row.CC, (std::array<int, 4>{10, 20, 30, 40}));
    EXPECT_EQ(row.Count, (std::array<int, 4>{1, 2, 3, 4}));
}

TEST(Counting, Type1CountsC1AndC3AndShowsC2AndC4RawOnly) {
    TestRow row;
    ASSERT_TRUE(takeReply(row, type1({100, 7, 200, 9})));
    ASSERT_TRUE(takeReply(row, type1({103, 8, 210, 11})));
    EXPECT_EQ(row.RX, 2);
    // Channel 1 <- c1, channel 2 <- c3; C3 and C4 show c2 and c4.
    EXPECT_EQ(row.C, (std::array<int, 4>{103, 210, 8, 11}));
    EXPECT_EQ(row.CC, (std::array<int, 4>{100, 200, 0, 0}));
    EXPECT_EQ(row.Count, (std::array<int, 4>{3, 10, 0, 0}));
    EXPECT_EQ(testColumnTexts(row), QStringList({"0", "2", "103", "210", "8", "11", "3", "10", "0",
                                                 "0", "100", "200", "0", "0"}));
}

TEST(Counting, AnswersThatDoNotCountLeaveTheRowAsItWas) {
    TestRow row;
    ASSERT_TRUE(takeReply(row, type1({1, 2, 3, 4})));
    const TestRow before = row;
    QByteArray noMarker = type2({5, 6, 7, 8});
    noMarker[40] = char(0xF5);
    QByteArray wrongFirst = type1({5, 6, 7, 8});
    wrongFirst[0] = char(0x24);
    for (const QByteArray& bad : {noMarker, wrongFirst, type1({5, 6, 7, 8}).left(11),
                                  type2({5, 6, 7, 8}) + QByteArray(1, '\0'), QByteArray()})
        EXPECT_FALSE(takeReply(row, bad)) << bad.toHex().constData();
    EXPECT_EQ(row, before);
}
