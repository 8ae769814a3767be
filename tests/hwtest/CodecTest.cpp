// The unit frames and answers as bytes (hex fixtures), and the counting rule of the test list.
#include "TestRow.h"
#include "UnitFrames.h"
#include "UnitReplies.h"

#include <gtest/gtest.h>
#include <vector>

using namespace nodalyx::hw;

namespace {
QByteArray hex(const char* text) {
    return QByteArray::fromHex(QByteArray(text).replace(' ', ""));
}
QByteArray codeBytes(const UnitCode& code) {
    return QByteArray(reinterpret_cast<const char*>(code.data()), kUnitCodeSize);
}

// A type 2 answer: the first byte, zeros, the marker at 39-40, counters high byte first at 41.
QByteArray type2Answer(const char* counters, char first = char(0xFF),
                       const char* marker = "22 F4") {
    return QByteArray(1, first) + QByteArray(38, '\0') + hex(marker) +
           hex(counters).leftJustified(19, '\0');
}
} // namespace

// A unit code counts as far as each pair's leading hex digits go; missing characters are 0.
TEST(UnitPolls, FramesAndUnitCodesMatchTheWireBytes) {
    const auto code = [](const char* text) { return codeBytes(unitCodeBytes(text)); };
    const std::pair<QByteArray, const char*> rows[] = {
        {type1Poll(35), "23 23 46"},
        // 0x86 ^ 05 ^ 00 ^ 11 ^ 22 ^ 33 ^ 44 ^ FF ^ (seven 01) ^ 00 = 0x39; lower case counts
        {type2Poll(QStringLiteral("0011223344ff")),
         "FF FF 05 00 11 22 33 44 FF 01 01 01 01 01 01 01 00 39 92 11"},
        {code("A1B27ZZ7F"), "A1 B2 07 00 0F 00"},
        {code("1G-xZZ99"), "01 00 00 99 00 00"},
    };
    for (const auto& [bytes, wire] : rows)
        EXPECT_EQ(bytes, hex(wire)) << wire;
}

// Type 1 counters are low byte first, type 2 high byte first, each high x 255 + low; an
// answer of the wrong size, first byte or (type 2) without its marker reads as nothing.
TEST(UnitAnswers, DecodeOrRefuse) {
    const QByteArray one = hex("23 05 00 10 02 FF 00 00 01 FE FF 00");
    const std::pair<QByteArray, std::optional<Counters>> rows[] = {
        {one, Counters{526, 255, 255, 255 * 255 + 254}},
        {hex("24") + one.mid(1), std::nullopt},
        {one + hex("00"), std::nullopt},
        {type2Answer("02 10 00 01 FF FF 01 00"), Counters{526, 1, 65280, 255}},
        {type2Answer("01 02", char(0xFF), "00 F4"), std::nullopt},
        {type2Answer("01 02", char(0xFE)), std::nullopt},
        {type2Answer("").left(59), std::nullopt},
    };
    for (const auto& [reply, counters] : rows)
        EXPECT_EQ(decodeReply(reply), counters) << reply.toHex(' ').toStdString();
}

// Counts grow from the first value; a wrapped counter counts on from 65536; a zero first
// value stays the baseline, so what was counted after the start stays in the count.
TEST(Counting, BaselineCountAndWrap) {
    const std::tuple<int, std::vector<int>, std::tuple<int, int, int>> cases[] = {
        {1, {1000, 1017}, {1000, 1017, 17}},
        {4, {65000, 100}, {65000, 100, 636}}, // 65536 - 65000 + 100
        {2, {0, 5, 9}, {0, 9, 9}}};
    for (const auto& [channel, values, expected] : cases) {
        SCOPED_TRACE(testing::PrintToString(values));
        TestRow row;
        for (int v : values)
            updateChannel(row, channel, v);
        const int i = channel - 1;
        EXPECT_EQ(std::tuple(row.CC[i], row.C[i], row.Count[i]), expected);
        const TestRow before = row;
        updateChannel(row, 0, 9); // no such channel: nothing changes
        updateChannel(row, 5, 9);
        EXPECT_EQ(row, before);
    }
}
