// The counting rule of the test list: baseline, count, wrap, and the type 1 channel mapping.
#include "TestRow.h"
#include "UnitReplies.h"

#include <gtest/gtest.h>

using namespace nodalyx::hw;

namespace {
QByteArray type1(const Counters& c) {
    return type1Reply(1, c);
}
QByteArray type2(const Counters& c) {
    return type2Reply(UnitCode{}, c);
}
} // namespace

TEST(Counting, TheFirstValueIsTheBaselineAndCountsGrowFromIt) {
    TestRow row;
    updateChannel(row, 1, 1000);
    EXPECT_EQ(row.CC[0], 1000);
    EXPECT_EQ(row.C[0], 1000);
    EXPECT_EQ(row.Count[0], 0);
    updateChannel(row, 1, 1017);
    EXPECT_EQ(row.CC[0], 1000);
    EXPECT_EQ(row.C[0], 1017);
    EXPECT_EQ(row.Count[0], 17);
}

TEST(Counting, ACounterThatWrappedCountsOnFrom65536) {
    TestRow row;
    updateChannel(row, 4, 65000);
    updateChannel(row, 4, 100);
    EXPECT_EQ(row.Count[3], 636); // 65536 - 65000 + 100
    EXPECT_EQ(row.CC[3], 65000);
    EXPECT_EQ(row.C[3], 100);
}

TEST(Counting, ACounterReadingZeroAtTheStartKeepsZeroAsItsBaseline) {
    // The units counted after the start must stay in the count, not be re-based away.
    TestRow row;
    updateChannel(row, 2, 0);
    updateChannel(row, 2, 5);
    EXPECT_EQ(row.CC[1], 0);
    EXPECT_EQ(row.Count[1], 5);
    updateChannel(row, 2, 9);
    EXPECT_EQ(row.Count[1], 9);
    updateChannel(row, 0, 9); // no such channel: nothing changes
    updateChannel(row, 5, 9);
    EXPECT_EQ(row.Count[1], 9);
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
