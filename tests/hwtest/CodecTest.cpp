// The unit frames and answers as bytes: hex fixtures.
#include "UnitFrames.h"
#include "UnitReplies.h"

#include <gtest/gtest.h>

using namespace nodalyx::hw;

namespace {
QByteArray hex(const char* text) {
    return QByteArray::fromHex(QByteArray(text).replace(' ', ""));
}

// A type 2 answer with the counter bytes (high, low) at bytes 42..49, the rest zero apart
// from the first byte and the marker.
QByteArray type2Answer(std::initializer_list<int> counterBytes, quint8 first = 0xFF,
                       bool marker = true) {
    QByteArray a(kType2ReplySize, char(0));
    a[0] = char(first);
    if (marker) {
        a[39] = char(0x22);
        a[40] = char(0xF4);
    }
    int at = 41;
    for (int b : counterBytes)
        a[at++] = char(b);
    return a;
}
} // namespace

TEST(UnitPolls, Type1CarriesTheAddressAndItsSumWith0x23) {
    EXPECT_EQ(type1Poll(0), hex("23 00 23"));  // table index 1
    EXPECT_EQ(type1Poll(63), hex("23 3F 62")); // table index 64
    EXPECT_EQ(type1Poll(35), hex("23 23 46"));
}

TEST(UnitPolls, Type2CarriesTheUnitCodePairsAndTheXorChecksum) {
    // 0x86 ^ 05 ^ 00 ^ 11 ^ 22 ^ 33 ^ 44 ^ FF ^ (seven 01) ^ 00 = 0x39
    EXPECT_EQ(type2Poll(QStringLiteral("00112233 44FF").remove(' ')),
              hex("FF FF 05 00 11 22 33 44 FF 01 01 01 01 01 01 01 00 39 92 11"));
    const QByteArray frame = type2Poll(QStringLiteral("a1b2c3d4e5f6"));
    ASSERT_EQ(frame.size(), kType2PollSize);
    EXPECT_EQ(frame.mid(3, 6), hex("A1 B2 C3 D4 E5 F6"));
    quint8 x = 0x86;
    for (int k = 2; k < 17; ++k)
        x ^= quint8(frame[k]);
    EXPECT_EQ(quint8(frame[17]), x);
}

TEST(UnitPolls, PairsCountAsFarAsTheirLeadingHexDigitsGo) {
    EXPECT_EQ(hexPairValue(u"A1"), 0xA1);
    EXPECT_EQ(hexPairValue(u"7Z"), 0x07);
    EXPECT_EQ(hexPairValue(u"Z7"), 0x00);
    EXPECT_EQ(hexPairValue(u"F"), 0x0F);
    EXPECT_EQ(hexPairValue(u""), 0x00);
    EXPECT_EQ(hexPairValue(u" 5"), 0x00);
    // Eleven characters: the last pair is one digit; an empty code is all zeros.
    const UnitCode shortCode = unitCodeBytes(QStringLiteral("12345678ABC"));
    EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(shortCode.data()), 6),
              hex("12 34 56 78 AB 0C"));
    EXPECT_EQ(unitCodeBytes(QString()), UnitCode{});
    EXPECT_EQ(unitCodeBytes(QStringLiteral("1G-xZZ99")), (UnitCode{0x01, 0, 0, 0x99, 0, 0}));
}

TEST(UnitPolls, AUnitFindsThePollsInWhatItHears) {
    QByteArray heard =
        hex("00 55 23 05 28") + type2Poll(QStringLiteral("A1B2C3D4E5F1")) + hex("23 3F 62 23 01");
    auto first = takePoll(heard);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->type, 1);
    EXPECT_EQ(first->address, 5);
    auto second = takePoll(heard);
    ASSERT_TRUE(second);
    EXPECT_EQ(second->type, 2);
    EXPECT_EQ(second->code, (UnitCode{0xA1, 0xB2, 0xC3, 0xD4, 0xE5, 0xF1}));
    auto third = takePoll(heard);
    ASSERT_TRUE(third);
    EXPECT_EQ(third->address, 63);
    EXPECT_FALSE(takePoll(heard)); // "23 01": the rest has not come yet
    EXPECT_EQ(heard, hex("23 01"));

    QByteArray broken = type2Poll(QStringLiteral("A1B2C3D4E5F1"));
    broken[17] = char(broken[17] ^ 1); // wrong checksum: no poll at all
    EXPECT_FALSE(takePoll(broken));
    EXPECT_TRUE(broken.isEmpty());
    QByteArray wrongSum = hex("23 05 29");
    EXPECT_FALSE(takePoll(wrongSum));
}

TEST(UnitAnswers, Type1IsLowByteFirstTimes255) {
    // c1 from bytes 4, 5 = 10 02: 2 x 255 + 16 = 526
    const QByteArray a = hex("23 05 00 10 02 FF 00 00 01 FE FF 00");
    const auto c = decodeReply(a);
    ASSERT_TRUE(c);
    EXPECT_EQ(*c, (Counters{526, 255, 255, 255 * 255 + 254}));
    EXPECT_TRUE(firstByteFits(1, a));
    EXPECT_FALSE(decodeReply(hex("24 05 00 10 02 FF 00 00 01 FE FF 00"))); // first byte
    EXPECT_FALSE(decodeReply(hex("23 05 00 10 02 FF 00 00 01 FE FF")));    // one short
    EXPECT_FALSE(decodeReply(a + hex("00")));                              // one long
}

TEST(UnitAnswers, Type2IsHighByteFirstAndNeedsItsMarker) {
    const auto c = decodeReply(type2Answer({0x02, 0x10, 0x00, 0x01, 0xFF, 0xFF, 0x01, 0x00}));
    ASSERT_TRUE(c);
    EXPECT_EQ(*c, (Counters{526, 1, 65280, 255}));
    EXPECT_FALSE(decodeReply(type2Answer({1, 2}, 0xFF, false))); // no 22 F4
    EXPECT_FALSE(decodeReply(type2Answer({1, 2}, 0xFE)));        // first byte
    EXPECT_FALSE(firstByteFits(2, type2Answer({}, 0x23)));
    EXPECT_FALSE(decodeReply(type2Answer({}).left(59)));
    EXPECT_EQ(replySize(1), 12);
    EXPECT_EQ(replySize(2), 60);
    EXPECT_EQ(replySize(0), 0);
    EXPECT_EQ(replySize(3), 0);
}

TEST(UnitAnswers, WhatASimulatedUnitSendsReadsBackAsItsCounters) {
    const Counters counters{0, 254, 255, kCounterLimit - 1};
    const QByteArray one = type1Reply(7, counters);
    ASSERT_EQ(one.size(), kType1ReplySize);
    EXPECT_EQ(one.left(3), hex("23 07 00"));
    EXPECT_EQ(decodeReply(one), counters);
    const UnitCode code{0xA1, 0xB2, 0xC3, 0xD4, 0xE5, 0xF1};
    const QByteArray two = type2Reply(code, counters);
    ASSERT_EQ(two.size(), kType2ReplySize);
    EXPECT_EQ(two.mid(39, 2), hex("22 F4"));
    EXPECT_EQ(two.right(2), hex("92 11"));
    EXPECT_EQ(decodeReply(two), counters);
    EXPECT_EQ(counterBytes(526), std::make_pair(quint8(2), quint8(16)));
}
