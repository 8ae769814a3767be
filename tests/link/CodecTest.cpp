// The pure codecs of the link: request frames, reply checks and decoders, the reply assembler,
// the requests that write the logger's settings.
#include "CommandFrame.h"
#include "LinkHarness.h"
#include "LoggerReplies.h"
#include "ReplyAssembler.h"
#include "SerialPortName.h"
#include "WriteRequests.h"

#include <gtest/gtest.h>
#include <tuple>

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

// Serial-number, clock and counter frames: the read-out tests check them on the wire.
TEST(CommandFrameTest, FramesMatchTheWireBytes) {
    const auto code = locationTextRequests(LocationText::Code, QStringLiteral("ABCDEFGHIJ"));
    const struct {
        QByteArray frame;
        const char* wire;
    } rows[] = {
        {CommandFrame(2, 0, 0, 0, 0, 0, 0), "FF FF 02 00 00 00 00 00 00 00 70"},
        // the checksum covers the second FF and the extra byte; FF is an ordinary value
        {CommandFrame(0, 0, 0, 0, 0, 0, 0, 0x01), "FF FF 00 00 00 00 00 00 00 01 73"},
        // a text: characters 1..5 (the fifth first), 6..10, the empty closing part
        {CommandFrame(code[0]), "FF FF 66 45 44 43 42 41 00 00 55"},
        {CommandFrame(code[1]), "FF FF 66 4A 49 48 47 46 01 00 5F"},
        {CommandFrame(code[2]), "FF FF 66 00 00 00 00 00 02 00 16"},
        {CommandFrame(locationTextRequests(LocationText::Place, QStringLiteral("Haven"))[0]),
         "FF FF 6A 6E 65 76 61 48 00 00 4C"},
        // an extension: the sixth character first; a longer one travels as its first six
        {CommandFrame(extensionRequest(3, QStringLiteral("ABCDEFGH"))),
         "FF FF 72 46 45 44 43 42 41 00 07"},
        {CommandFrame(startStopRequest(6, window("08151745"))), "FF FF 07 2D 11 0F 08 00 07 00 49"},
        {CommandFrame(setIntervalRequest(255)), "FF FF 3D 00 00 00 00 00 FF 00 B0"},
        {CommandFrame(addressRequest(NetworkAddress::Ip, address("192.168.1.20"))),
         "FF FF 34 00 00 14 01 A8 C0 00 3B"},
        {CommandFrame(addressRequest(NetworkAddress::Gateway, address("10.0.0.1"))),
         "FF FF 36 00 00 01 00 00 0A 00 4F"},
        {CommandFrame(portRequest(65535)), "FF FF 38 00 00 00 00 FF FF 00 4A"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(row.frame, fromHex(row.wire)) << row.wire;
}

TEST(CheckReplyTest, AcceptsOnlyWellFormedDataReplies) {
    const QByteArray reply = DataReply(2, fromHex("0E 1E 1A 05 0C 03"));
    EXPECT_TRUE(CheckReply(reply));
    EXPECT_TRUE(CheckReply(fromHex("FF 8D"))); // nothing between: checksum 0 XOR 141
    QByteArray wrongStart = reply, wrongSum = reply;
    wrongStart[0] = char(0xFE);
    wrongSum.back() = char(wrongSum.back() ^ 1);
    for (const QByteArray& bad :
         {QByteArray(), fromHex("FF"), wrongStart, wrongSum, reply + fromHex("01")})
        EXPECT_FALSE(CheckReply(bad)) << bad.toHex(' ').toStdString();
}

// Saturday, the frame and the text: the read-out's Set Date/Time test.
TEST(LoggerClockTest, FromThePcClockSundayIsOne) {
    EXPECT_EQ(LoggerClock::fromDateTime(QDateTime(QDate(2026, 12, 6), QTime(10, 30, 59))),
              (LoggerClock{10, 30, 26, 12, 6, 1}));
}

TEST(ReplyAssemblerTest, FlagsFollowTheFirstByte) {
    ReplyAssembler ack, nak, data;
    for (const char* piece : {"06 FF", "15"})
        ack.append(fromHex(piece));
    for (const char* piece : {"15", "06"})
        nak.append(fromHex(piece));
    data.append(fromHex("FF 06 15"));
    EXPECT_EQ(ack.buffer(), fromHex("06 FF 15"));
    EXPECT_EQ(std::tuple(ack.ack(), ack.nak(), ack.status()),
              std::tuple(true, false, ReplyAssembler::Status::Complete));
    EXPECT_EQ(std::tuple(nak.ack(), nak.nak(), nak.status()),
              std::tuple(false, true, ReplyAssembler::Status::Pending));
    EXPECT_EQ(std::tuple(data.ack(), data.nak()), std::tuple(false, false));
}

// Each completion rule fed the pieces of an answer ("|" between them) as the line delivers them.
TEST(ReplyAssemblerTest, CompletionRulesOverPiecesAndStrays) {
    using S = ReplyAssembler::Status;
    using R = ReplyRule;
    const struct {
        ReplyRule rule;
        const char* pieces;
        S status;
        const char* buffer;
        int skipped;
        bool atDeadline;
    } rows[] = {
        // exact length in pieces; one byte too many never fits; a late byte of the last answer
        {R::exactly(5), "FF 03|14 00|9C", S::Complete, "FF 03 14 00 9C", 0, false},
        {R::exactly(8), "FF 03 07 00 16 1E 00 00 00", S::Overrun, "FF 03 07 00 16 1E 00 00 00", 0,
         false},
        {R::exactly(5), "73|FF 03 14 00 9C", S::Complete, "FF 03 14 00 9C", 1, false},
        // noise in front in several pieces; at least: more is fine
        {R::atLeast(6), "20 21|22 FF 33|C0 A8 01 0A", S::Complete, "FF 33 C0 A8 01 0A", 3, false},
        {R::atLeast(4), "FF 37 0C 1D 00 00 12", S::Complete, "FF 37 0C 1D 00 00 12", 0, false},
        // the clock: eight bytes are not yet whole, seven will not do even at the deadline
        {R::whole(8, 9), "FF 02 0E 1E 1A 05 0C 03", S::Pending, "FF 02 0E 1E 1A 05 0C 03", 0, true},
        {R::whole(8, 9), "FF 02 0E 1E 1A 05 0C", S::Pending, "FF 02 0E 1E 1A 05 0C", 0, false},
        // raw: the first byte is not looked at; an ack after noise is not an ack
        {R::raw(3), "31 32|33", S::Complete, "31 32 33", 0, false},
        {R::ack(), "20|06", S::Pending, "20 06", 0, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.pieces);
        ReplyAssembler rx;
        rx.expect(row.rule);
        for (const QByteArray& piece : QByteArray(row.pieces).split('|'))
            rx.append(fromHex(piece.constData()));
        EXPECT_EQ(rx.status(), row.status);
        EXPECT_EQ(rx.buffer(), fromHex(row.buffer));
        EXPECT_EQ(rx.skipped(), row.skipped);
        EXPECT_EQ(rx.acceptableAtDeadline(), row.atDeadline);
    }
}

// Strays that came in before the wait began are skipped when it begins.
TEST(ReplyAssemblerTest, StraysAlreadyInTheBufferAreSkippedWhenTheWaitStarts) {
    ReplyAssembler rx;
    rx.append(fromHex("00 41 FF 3B"));
    EXPECT_EQ(rx.buffer().size(), 4); // no rule yet: kept as it came
    rx.expect(ReplyRule::atLeast(2));
    EXPECT_EQ(rx.buffer(), fromHex("FF 3B"));
    EXPECT_EQ(rx.status(), ReplyAssembler::Status::Complete);
}

TEST(SerialPortNameTest, EnvironmentNamesTheDeviceElseTtySOrComN) {
    qputenv("NODALYX_COM4", "/tmp/pty-of-a-test");
    const QString named = serialPortName(4);
    qunsetenv("NODALYX_COM4"); // the serial-line tests reach their port through NODALYX_COM7
    const QString text =
        serialOpenFailureText("/dev/ttyS0", QSerialPort::PermissionError, "Permission denied");
    EXPECT_TRUE(text.contains("/dev/ttyS0")) << text.toStdString();
    EXPECT_FALSE(serialOpenFailureText("x", QSerialPort::OpenError, "busy").contains("dialout"));
#ifdef Q_OS_WIN
    EXPECT_EQ(named, QStringLiteral("COM4")); // COM n is the port itself
    EXPECT_EQ(serialPortName(12), QStringLiteral("COM12"));
    EXPECT_FALSE(text.contains("dialout")); // no such group there
#else
    EXPECT_EQ(named, QStringLiteral("/tmp/pty-of-a-test"));
    EXPECT_EQ(serialPortName(4), QStringLiteral("/dev/ttyS3"));
    EXPECT_TRUE(text.contains("dialout")) << text.toStdString();
#endif
}

// A character beyond Latin-1 travels as its low byte; the buffer never holds more than ten.
TEST(WriteRequestsTest, TextBufferTakesLowBytesAndTenCharactersAtMost) {
    EXPECT_EQ(textBuffer(QString::fromUtf8("\u0141x")), QByteArray("\x41x\0\0\0\0\0\0\0\0", 10));
    EXPECT_EQ(textBuffer(QStringLiteral("ABCDEFGHIJKL")), QByteArray("ABCDEFGHIJ"));
}
