// The pure pieces of the read-out: query requests, reply decoders, the clock comparison.
#include "ClockDrift.h"
#include "CommandFrame.h"
#include "LinkHarness.h"
#include "RemoteReplies.h"

#include <gtest/gtest.h>

using namespace nodalyx;
using namespace nodalyx::test;

namespace {
QByteArray frameOf(const QueryRequest& r) {
    return CommandFrame(r);
}
} // namespace

TEST(QueryRequestTest, MemoryReadsOfTheDaysAndTheInterval) {
    EXPECT_EQ(frameOf(dayRequest(1)), fromHex("FF FF 03 00 00 0E 00 0A 00 00 75"));
    EXPECT_EQ(frameOf(dayRequest(7)), fromHex("FF FF 03 00 00 26 00 22 00 00 75"));
    EXPECT_EQ(frameOf(intervalRequest()), fromHex("FF FF 03 00 00 0A 00 09 00 00 72"));
    EXPECT_EQ(frameOf(plainRequest(55)), fromHex("FF FF 37 00 00 00 00 00 00 00 45"));
}

TEST(RemoteRepliesTest, DecodesWhatEachQueryTakes) {
    const auto day = decodeDayReply(fromHex("FF 03 07 00 16 1E 00 00"));
    ASSERT_TRUE(day);
    EXPECT_EQ(day->start, "07:00");
    EXPECT_EQ(day->stop, "22:30");
    EXPECT_FALSE(decodeDayReply(fromHex("FE 03 07 00 16 1E 00 00")));
    EXPECT_FALSE(decodeDayReply(fromHex("FF 03 07 00 16")));

    const struct {
        int byte;
        const char* text;
    } intervals[] = {{20, "30"}, {15, "15"}, {5, "5"}, {60, "60"}, {0, "30"}, {255, "30"}};
    for (const auto& row : intervals)
        EXPECT_EQ(decodeIntervalReply(QByteArray("\xFF\x03", 2) + char(row.byte) + "\0\0"),
                  QString(row.text))
            << row.byte;

    const QByteArray network = fromHex("FF 33 C0 A8 01 0A FF FF FF 00 0A 00 00 FE 4A");
    EXPECT_EQ(decodeOctets(network, 3), (std::array<QString, 4>{"192", "168", "1", "10"}));
    EXPECT_EQ(decodeOctets(network, 7), (std::array<QString, 4>{"255", "255", "255", "0"}));
    EXPECT_EQ(decodeOctets(network, 11), (std::array<QString, 4>{"10", "0", "0", "254"}));
    EXPECT_FALSE(decodeOctets(network.left(13), 11));

    // The port is unsigned: 0x80 0x00 is 32768, not an overflow.
    const struct {
        const char* hex;
        const char* port;
    } ports[] = {{"FF 37 0C 1D", "3101"}, {"FF 37 80 00 AA", "32768"}, {"FF 37 FF FF", "65535"}};
    for (const auto& row : ports)
        EXPECT_EQ(decodePortReply(fromHex(row.hex)), QString(row.port)) << row.hex;

    // Only elements 2..5 are padded to two digits.
    EXPECT_EQ(decodeMacReply(fromHex("FF 39 00 1A 0B 0C 0D 0E AA")),
              (std::array<QString, 6>{"0", "1A", "0B", "0C", "0D", "0E"}));
    EXPECT_EQ(decodeMacReply(fromHex("FF 39 0A FF 00 A0 01 10")),
              (std::array<QString, 6>{"A", "FF", "00", "A0", "01", "10"}));
}

TEST(RemoteRepliesTest, TextsKeepTheirBlanksAndEndAtTheLoggersZeroBytes) {
    const QByteArray code = QByteArray("\xFF\x65", 2) + "SIM01     " + '\x9E';
    EXPECT_EQ(locationText(code, 10), "SIM01     ");
    EXPECT_EQ(locationText(code.left(7), 10), "SIM01"); // a reply of 7 characters: 5 of them
    EXPECT_EQ(locationText(QByteArray("\xFF\x65"
                                      "123\0\0\0\0\0\0\0\x10",
                                      13),
                           10),
              "123");
    EXPECT_EQ(locationText(QByteArray("\x06"), 10), "");
    EXPECT_EQ(decodeTrimmedText(QByteArray("\xFF\x3B   NX0042\0\0\x01", 14), 10), "NX0042");
    EXPECT_EQ(decodeTrimmedText(QByteArray("\xFF\x3F") + " HOST-1" + QByteArray(13, ' '), 20),
              "HOST-1");
    EXPECT_FALSE(decodeTrimmedText(QByteArray("\x15"), 10));
}

TEST(ClockDriftTest, WholeMinutesBetweenTheLoggerAndThePc) {
    const QDateTime pc(QDate(2026, 12, 5), QTime(10, 33, 50));
    const struct {
        LoggerClock logger;
        std::optional<qint64> minutes;
        const char* text;
    } rows[] = {
        {{10, 30, 26, 12, 5, 7}, -3, "logger clock 3 min behind the PC"},
        {{10, 33, 26, 12, 5, 7}, 0, "logger clock agrees with the PC"},      // seconds do not count
        {{0, 1, 26, 12, 6, 1}, 808, "logger clock 808 min ahead of the PC"}, // the next day
        {{25, 0, 26, 12, 5, 7}, std::nullopt, "logger clock is not a valid date"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(clockDriftMinutes(row.logger, pc), row.minutes) << row.text;
        EXPECT_EQ(clockDriftText(clockDriftMinutes(row.logger, pc)), QString(row.text));
    }
    EXPECT_EQ(pcClockText(pc), "05-12-2026  10:33");
}
