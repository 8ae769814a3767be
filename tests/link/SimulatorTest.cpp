// The simulated logger's answers to the settings it stores, and its state file.
#include "CommandFrame.h"
#include "LinkHarness.h"
#include "LoggerResponder.h"

#include <gtest/gtest.h>

using namespace nodalyx;
using namespace nodalyx::sim;
using namespace nodalyx::test;

namespace {
QByteArray frame(int b1, int b2 = 0, int b3 = 0, int b4 = 0, int b5 = 0, int b6 = 0, int b7 = 0) {
    return CommandFrame(quint8(b1), quint8(b2), quint8(b3), quint8(b4), quint8(b5), quint8(b6),
                        quint8(b7));
}
} // namespace

// Each setting is read back after it is stored; the reads themselves are proven by the
// read-out tests, the location code and its frames by the upload's.
TEST(ResponderTest, WhatSettingsChangeAndWhatIsRefused) {
    LoggerState state;
    LoggerResponder r(state);
    const QByteArray ack(1, char(6)), nak(1, char(21));
    QByteArray badSum = frame(51);
    badSum.back() = char(badSum.back() ^ 1);
    const std::pair<QByteArray, QByteArray> exchanges[] = {
        {frame(52, 0, 0, 4, 3, 2, 1), ack}, // address, mask and gateway: B7 is the first byte
        {frame(53, 0, 0, 8, 7, 6, 5), ack},
        {frame(54, 0, 0, 12, 11, 10, 9), ack},
        {frame(51), DataReply(51, fromHex("01 02 03 04 05 06 07 08 09 0A 0B 0C"))},
        {frame(56, 0, 0, 0, 0, 0x12, 0x34), ack},
        {frame(55), DataReply(55, fromHex("12 34"))},
        // a ten-character name: characters 1..5 in B6..B2 of the first frame, 6..10 of the second
        {frame(104, 'E', 'D', 'C', 'B', 'A', 0), ack},
        {frame(104, 'J', 'I', 'H', 'G', 'F', 1), ack},
        {frame(104, 0, 0, 0, 0, 0, 2), ack},
        {frame(103), DataReply(103, "ABCDEFGHIJ")},
        // an extension: the first character in B7, ending at the first zero
        {frame(110, 0, 0, 0, 0, '2', '1'), ack},
        {frame(109), DataReply(109, "12    ")},
        {fromHex("FF FF 07 00 16 00 07 00 01 00 65"), ack}, // Sunday 07:00-22:00
        {frame(61, 0, 0, 0, 0, 0, 20), ack},
        {badSum, nak},
        {frame(99), nak}, // unknown code
    };
    for (const auto& [request, reply] : exchanges)
        EXPECT_EQ(r.respond(request).bytes, reply) << request.toHex(' ').toStdString();
    EXPECT_EQ(state.dayWindow(1), QStringLiteral("07002200"));
    EXPECT_EQ(state.interval(), 20);
}

TEST(LoggerStateTest, JsonKeepsEverythingTheToolCanRead) {
    TempDir dir;
    LoggerState a = LoggerState::withDefaults();
    a.serial = QStringLiteral("XYZ");
    a.setDayWindow(3, 6, 15, 23, 45);
    a.extensions[2] = QStringLiteral("ext3");
    a.mac = {0xDE, 0xAD, 0xBE, 0xEF, 0x00, 0x01};
    a.setCounts(2, 40, {1, 2, 3, 4, 5, 6}); // every field distinct
    a.growing = false;
    QString error;
    ASSERT_TRUE(a.save(dir.file("state.json"), &error)) << error.toStdString();
    LoggerState b;
    ASSERT_TRUE(LoggerState::load(dir.file("state.json"), b, &error)) << error.toStdString();
    EXPECT_EQ(b.toJson(), a.toJson());
    EXPECT_EQ(b.counts(2, 40), (LoggerState::Counts{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(b.memory.mid(0, 0x40), a.memory.mid(0, 0x40));

    dir.write("bad.json", R"({"ip": "300.1.1.1"})");
    EXPECT_FALSE(LoggerState::load(dir.file("bad.json"), b, &error));
    EXPECT_TRUE(error.contains("ip"));
}
