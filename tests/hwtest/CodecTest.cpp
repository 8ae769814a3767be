// The unit frames and answers as bytes: hex fixtures.
#include "UnitFrames.h"
#include "UnitReplies.h"

#include <QStringList>
#include <gtest/gtest.h>

using namespace nodalyx::hw;

namespace {
QByteArray hex(const char* text) {
    return QByteArray::fromHex(QByteArray(text).replace(' ', ""));
}
QByteArray codeBytes(const UnitCode& code) {
    return QByteArray(reinterpret_cast<const char*>(code.data()), kUnitCodeSize);
}

// A type 2 answer: the first byte, zeros, the marker at 39, 40, then the counter bytes (high,
// low) from 41 on.
QByteArray type2Answer(const char* counters, char first = char(0xFF),
                       const char* marker = "22 F4") {
    return QByteArray(1, first) + QByteArray(38, '\0') + hex(marker) +
           hex(counters).leftJustified(19, '\0');
}
} // namespace

TEST(UnitPolls, FramesMatchTheWireBytes) {
    const struct {
        QByteArray frame;
        const char* wire;
    } rows[] = {
        {type1Poll(0), "23 00 23"},
        {type1Poll(63), "23 3F 62"},
        // 0x86 ^ 05 ^ 00 ^ 11 ^ 22 ^ 33 ^ 44 ^ FF ^ (seven 01) ^ 00 = 0x39; lower case counts
        {type2Poll(QStringLiteral("0011223344ff")),
         "FF FF 05 00 11 22 33 44 FF 01 01 01 01 01 01 01 00 39 92 11"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(row.frame, hex(row.wire)) << row.wire;
}

// A code counts as far as each pair's leading hexadecimal digits go; missing characters are 0.
TEST(UnitPolls, UnitCodeTextsAsBytes) {
    const std::pair<const char*, const char*> rows[] = {
        {"A1B27ZZ7F", "A1 B2 07 00 0F 00"},
        {"12345678ABC", "12 34 56 78 AB 0C"},
        {"1G-xZZ99", "01 00 00 99 00 00"},
        {"", "00 00 00 00 00 00"},
    };
    for (const auto& [text, bytes] : rows)
        EXPECT_EQ(codeBytes(unitCodeBytes(QString::fromLatin1(text))), hex(bytes)) << text;
}

TEST(UnitPolls, AUnitFindsThePollsInWhatItHears) {
    QByteArray heard =
        hex("00 55 23 05 28") + type2Poll(QStringLiteral("A1B2C3D4E5F1")) + hex("23 3F 62 23 01");
    QStringList found; // type 1 by address, type 2 by code
    while (const auto poll = takePoll(heard))
        found << (poll->type == 1 ? QString::number(poll->address)
                                  : QString::fromLatin1(codeBytes(poll->code).toHex()));
    EXPECT_EQ(found, QStringList({"5", "a1b2c3d4e5f1", "63"}));
    // "23 01": the rest has not come yet
    EXPECT_EQ(heard, hex("23 01"));

    QByteArray broken = type2Poll(QStringLiteral("A1B2C3D4E5F1"));
    broken[17] = char(broken[17] ^ 1); // wrong checksum: no poll at all
    EXPECT_FALSE(takePoll(broken));
    EXPECT_TRUE(broken.isEmpty());
    QByteArray wrongSum = hex("23 05 29");
    EXPECT_FALSE(takePoll(wrongSum));
}

// Type 1 counters are low byte first, type 2 high byte first, each high x 255 + low; an
// answer of the wrong size, first byte or (type 2) without its marker reads as nothing.
TEST(UnitAnswers, DecodeOrRefuse) {
    const QByteArray one = hex("23 05 00 10 02 FF 00 00 01 FE FF 00");
    const Counters simulated{0, 254, 255, kCounterLimit - 1};
    const struct {
        QByteArray reply;
        std::optional<Counters> counters;
    } rows[] = {
        {one, Counters{526, 255, 255, 255 * 255 + 254}},
        {hex("24") + one.mid(1), std::nullopt},
        {one.left(11), std::nullopt},
        {one + hex("00"), std::nullopt},
        {type2Answer("02 10 00 01 FF FF 01 00"), Counters{526, 1, 65280, 255}},
        {type2Answer("01 02", char(0xFF), "22 F5"), std::nullopt},
        {type2Answer("01 02", char(0xFE)), std::nullopt},
        {type2Answer("").left(59), std::nullopt},
        // what a simulated unit sends reads back as its counters
        {type1Reply(7, simulated), simulated},
        {type2Reply(UnitCode{0xA1, 0xB2, 0xC3, 0xD4, 0xE5, 0xF1}, simulated), simulated},
    };
    for (const auto& row : rows)
        EXPECT_EQ(decodeReply(row.reply), row.counters) << row.reply.toHex(' ').toStdString();
}
