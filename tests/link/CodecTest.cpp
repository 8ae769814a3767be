// The pure codecs of the link: request frames, reply checks and decoders, the receive buffer.
#include "CommandFrame.h"
#include "LinkHarness.h"
#include "LoggerReplies.h"
#include "RxBuffer.h"
#include "SerialPortName.h"

#include <gtest/gtest.h>
#include <tuple>

using namespace nodalyx;
using namespace nodalyx::test;

// The serial-number, clock and counter requests are checked byte for byte on the wire by the
// link and read-out tests.
TEST(CommandFrameTest, FramesMatchTheWireBytes) {
    const struct {
        QByteArray frame;
        const char* wire;
    } rows[] = {
        {CommandFrame(2, 0, 0, 0, 0, 0, 0), "FF FF 02 00 00 00 00 00 00 00 70"},
        // port 3101, interval 15, Sunday 07:00-22:00, first of three frames of location "123"
        {CommandFrame(56, 0, 0, 0, 0, 12, 29), "FF FF 38 00 00 00 00 0C 1D 00 5B"},
        {CommandFrame(61, 0, 0, 0, 0, 0, 15), "FF FF 3D 00 00 00 00 00 0F 00 40"},
        {CommandFrame(7, 0, 22, 0, 7, 0, 1), "FF FF 07 00 16 00 07 00 01 00 65"},
        {CommandFrame(102, 0, 0, '3', '2', '1', 0), "FF FF 66 00 00 33 32 31 00 00 24"},
        // the checksum covers the second FF and the extra byte; FF is an ordinary value
        {CommandFrame(0, 0, 0, 0, 0, 0, 0, 0x01), "FF FF 00 00 00 00 00 00 00 01 73"},
        {CommandFrame(0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF),
         "FF FF FF FF FF FF FF FF FF FF 72"},
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

// Decoding the clock reply is checked by the link's set-then-read test against the simulator.
TEST(LoggerClockTest, FromThePcClockSundayIsOneAndTheText) {
    const LoggerClock sunday =
        LoggerClock::fromDateTime(QDateTime(QDate(2026, 12, 6), QTime(10, 30, 59)));
    EXPECT_EQ(sunday, (LoggerClock{10, 30, 26, 12, 6, 1}));
    const LoggerClock saturday =
        LoggerClock::fromDateTime(QDateTime(QDate(2026, 12, 5), QTime(0, 0)));
    EXPECT_EQ(saturday.weekday, 7);
    EXPECT_EQ(saturday.text(), QStringLiteral("05-12-2026  00:00"));
}

TEST(RxBufferTest, PiecesAppendInOrderAndFlagsFollowTheFirstByte) {
    LinkState ack, nak, data;
    for (const char* piece : {"06 FF", "15"})
        appendReceived(ack, fromHex(piece));
    for (const char* piece : {"15", "06"})
        appendReceived(nak, fromHex(piece));
    appendReceived(data, fromHex("FF 06 15"));
    EXPECT_EQ(ack.RxBuffer, fromHex("06 FF 15"));
    EXPECT_EQ(std::tuple(ack.AckFlag, ack.NakFlag), std::tuple(true, false));
    EXPECT_EQ(std::tuple(nak.AckFlag, nak.NakFlag), std::tuple(false, true));
    EXPECT_EQ(std::tuple(data.AckFlag, data.NakFlag), std::tuple(false, false));
}

TEST(RxBufferTest, BufferStopsAtItsLimit) {
    LinkState link;
    EXPECT_EQ(appendReceived(link, QByteArray(kRxBufferLimit - 10, 'a')), 0);
    EXPECT_EQ(appendReceived(link, QByteArray(25, 'b')), 15);
    EXPECT_EQ(link.RxBuffer.size(), kRxBufferLimit);
    EXPECT_EQ(appendReceived(link, QByteArray(3, 'c')), 3);
    EXPECT_TRUE(link.RxBuffer.endsWith(QByteArray(10, 'b')));
}

TEST(SerialPortNameTest, EnvironmentNamesTheDeviceElseTtyS) {
    qunsetenv("NODALYX_COM4"); // the serial-line tests reach their port through NODALYX_COM7
    EXPECT_EQ(serialPortName(4), QStringLiteral("/dev/ttyS3"));
    const QString text =
        serialOpenFailureText("/dev/ttyS0", QSerialPort::PermissionError, "Permission denied");
    EXPECT_TRUE(text.contains("/dev/ttyS0"));
    EXPECT_TRUE(text.contains("Permission denied"));
    EXPECT_TRUE(text.contains("dialout"));
    EXPECT_FALSE(serialOpenFailureText("x", QSerialPort::OpenError, "busy").contains("dialout"));
}
