// The simulated logger's answers to the requests the link tests do not make, and its state
// file. Serial number, clock and counter replies are proven by every link, read-out and
// command-line test.
#include "CommandFrame.h"
#include "LinkHarness.h"
#include "LoggerResponder.h"

#include <gtest/gtest.h>

using namespace nodalyx;
using namespace nodalyx::sim;
using namespace nodalyx::test;

namespace {
// The tool's request frame: FF FF, B1..B7, B8 = 0 and the checksum.
QByteArray frame(int b1, int b2 = 0, int b3 = 0, int b4 = 0, int b5 = 0, int b6 = 0, int b7 = 0) {
    return CommandFrame(quint8(b1), quint8(b2), quint8(b3), quint8(b4), quint8(b5), quint8(b6),
                        quint8(b7));
}
} // namespace

// Requests in order and the replies they get: each setting is read back after it is stored.
TEST(ResponderTest, RepliesAndWhatSettingsChange) {
    LoggerState state;
    LoggerResponder r(state);
    const QByteArray ack(1, char(6)), nak(1, char(21));
    QByteArray badSum = frame(51);
    badSum.back() = char(badSum.back() ^ 1);
    const std::pair<QByteArray, QByteArray> exchanges[] = {
        {frame(51), DataReply(51, fromHex("C0 A8 01 0A FF FF FF 00 C0 A8 01 01"))},
        {frame(55), DataReply(55, fromHex("0C 1D"))},
        {frame(57), DataReply(57, fromHex("00 1A 0B 0C 0D 0E"))},
        {frame(63), DataReply(63, "NODALYX-LOGGER      ")},
        {frame(65), DataReply(65, fromHex("C0 A8 01 4D"))},
        {frame(66), DataReply(66, fromHex("00"))},
        {frame(52, 0, 0, 4, 3, 2, 1), ack}, // address, mask and gateway: B7 is the first byte
        {frame(53, 0, 0, 8, 7, 6, 5), ack},
        {frame(54, 0, 0, 12, 11, 10, 9), ack},
        {frame(51), DataReply(51, fromHex("01 02 03 04 05 06 07 08 09 0A 0B 0C"))},
        {frame(56, 0, 0, 0, 0, 0x12, 0x34), ack},
        {frame(55), DataReply(55, fromHex("12 34"))},
        // location code "123": the first text frame as the tool sends it, then the others
        {fromHex("FF FF 66 00 00 33 32 31 00 00 24"), ack},
        {frame(102, 0, 0, 0, 0, 0, 1), ack},
        {frame(102, 0, 0, 0, 0, 0, 2), ack},
        {frame(101), DataReply(101, "123       ")},
        // a ten-character name: characters 1..5 in B6..B2 of the first frame, 6..10 of the second
        {frame(104, 'E', 'D', 'C', 'B', 'A', 0), ack},
        {frame(104, 'J', 'I', 'H', 'G', 'F', 1), ack},
        {frame(104, 0, 0, 0, 0, 0, 2), ack},
        {frame(103), DataReply(103, "ABCDEFGHIJ")},
        {frame(106, 0, 0, 'Z', 'Y', 'X', 0), ack},
        {frame(106, 0, 0, 0, 0, 0, 2), ack},
        {frame(105), DataReply(105, "XYZ       ")},
        // extensions: six characters, the first in B7, ending at the first zero
        {frame(108, 'f', 'e', 'd', 'c', 'b', 'a'), ack},
        {frame(110, 0, 0, 0, 0, '2', '1'), ack},
        {frame(112, 'u', 'v', 'w', 'x', 'y', 'z'), ack},
        {frame(114, 'F', 'E', 'D', 'C', 'B', 'A'), ack},
        {frame(107), DataReply(107, "abcdef")},
        {frame(109), DataReply(109, "12    ")},
        {frame(111), DataReply(111, "zyxwvu")},
        {frame(113), DataReply(113, "ABCDEF")},
        // Sunday 07:00-22:00 and interval 20
        {fromHex("FF FF 07 00 16 00 07 00 01 00 65"), ack},
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
