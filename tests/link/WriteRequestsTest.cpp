// The requests that write the logger's settings, frozen as the bytes on the wire; the upload's
// test checks the frames of the location code, port, interval, day window and mask it sends,
// the read-out's the clock.
#include "WriteRequests.h"
#include "LinkHarness.h"
#include "LoggerCodes.h"

#include <gtest/gtest.h>

using namespace nodalyx;
using namespace nodalyx::test;

namespace {

DayWindow window(const char* text) {
    return *parseDayWindow(QString::fromLatin1(text), {});
}

Address address(const char* text) {
    return *parseAddress(QString::fromLatin1(text).split(QLatin1Char('.')), {});
}

} // namespace

TEST(WriteRequestsTest, FramesMatchTheWireBytes) {
    const auto code = locationTextRequests(LocationText::Code, QStringLiteral("ABCDEFGHIJ"));
    const struct {
        Command command;
        const char* wire;
    } rows[] = {
        // a text: characters 1..5 (the fifth first), 6..10, then the empty closing part 2
        {code[0], "FF FF 66 45 44 43 42 41 00 00 55"},
        {code[1], "FF FF 66 4A 49 48 47 46 01 00 5F"},
        {code[2], "FF FF 66 00 00 00 00 00 02 00 16"},
        {locationTextRequests(LocationText::Place, QStringLiteral("Haven"))[0],
         "FF FF 6A 6E 65 76 61 48 00 00 4C"},
        // an extension: six characters, the sixth first; a longer one travels as its first six
        {extensionRequest(0, QStringLiteral("123456")), "FF FF 6C 36 35 34 33 32 31 00 19"},
        {extensionRequest(3, QStringLiteral("ABCDEFGH")), "FF FF 72 46 45 44 43 42 41 00 07"},
        {startStopRequest(6, window("08151745")), "FF FF 07 2D 11 0F 08 00 07 00 49"},
        {setIntervalRequest(255), "FF FF 3D 00 00 00 00 00 FF 00 B0"},
        {addressRequest(NetworkAddress::Ip, address("192.168.1.20")),
         "FF FF 34 00 00 14 01 A8 C0 00 3B"},
        {addressRequest(NetworkAddress::Gateway, address("10.0.0.1")),
         "FF FF 36 00 00 01 00 00 0A 00 4F"},
        {portRequest(65535), "FF FF 38 00 00 00 00 FF FF 00 4A"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(CommandFrame(row.command), fromHex(row.wire)) << row.wire;
}

// A character beyond Latin-1 travels as its low byte; the buffer never holds more than ten.
TEST(WriteRequestsTest, TextBufferTakesLowBytesAndTenCharactersAtMost) {
    EXPECT_EQ(textBuffer(QString::fromUtf8("\u0141x")), QByteArray("\x41x\0\0\0\0\0\0\0\0", 10));
    EXPECT_EQ(textBuffer(QStringLiteral("ABCDEFGHIJKL")), QByteArray("ABCDEFGHIJ"));
}
