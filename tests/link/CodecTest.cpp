// The pure codecs of the link: request frames, reply checks and decoders, the receive buffer.
#include "CommandFrame.h"
#include "CounterReadout.h"
#include "LinkHarness.h"
#include "LoggerReplies.h"
#include "RxBuffer.h"
#include "SerialPortName.h"

#include <gtest/gtest.h>

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

TEST(ReplyDecoderTest, ClockReplyNeedsEightBytesAndSundayIsOne) {
    const QByteArray reply = fromHex("FF 02 0E 1E 1A 05 0C 03 00");
    const auto clock = decodeClockReply(reply);
    ASSERT_TRUE(clock.has_value());
    EXPECT_EQ(*clock, (LoggerClock{14, 30, 26, 5, 12, 3}));
    EXPECT_EQ(clock->text(), QStringLiteral("12-05-2026  14:30"));
    EXPECT_FALSE(decodeClockReply(reply.left(7)).has_value());
    EXPECT_FALSE(decodeClockReply(fromHex("06 02 0E 1E 1A 05 0C 03")).has_value());

    const LoggerClock sunday =
        LoggerClock::fromDateTime(QDateTime(QDate(2026, 12, 6), QTime(10, 30, 59)));
    EXPECT_EQ(sunday, (LoggerClock{10, 30, 26, 12, 6, 1}));
    const LoggerClock saturday =
        LoggerClock::fromDateTime(QDateTime(QDate(2026, 12, 5), QTime(0, 0)));
    EXPECT_EQ(saturday.weekday, 7);
    EXPECT_EQ(saturday.text(), QStringLiteral("05-12-2026  00:00"));
}

// Blanks trimmed, NAK and a reply without checksum: the link's serial-number cases.
TEST(ReplyDecoderTest, SerialReplyTakesUpToTenCharactersOneAByte) {
    EXPECT_EQ(decodeSerialReply(fromHex("FF 3B") + "AB"), QStringLiteral("AB"));
    EXPECT_EQ(decodeSerialReply(DataReply(59, QByteArray(1, char(0xE9)) + "123456789X")),
              QChar(0xE9) + QStringLiteral("123456789"));
}

TEST(CounterDecodeTest, BlocksGoToTheirEntriesHighByteFirst) {
    QByteArray memory(769, '\0');
    // unit 0: Live1 1, Live2 2, In2 3, Out2 4, In1 258, Out1 65535
    memory.replace(0, 12, fromHex("00 01 00 02 00 03 00 04 01 02 FF FF"));
    memory.replace(12 * 63 + 8, 2, fromHex("12 34")); // unit 63: In1 0x1234
    memory[768] = char(0x99);                         // the byte at the last address is not used
    const QByteArray reply = DataReply(3, memory);
    ASSERT_EQ(reply.size(), kCounterReplySize);
    UnitTable table;
    table[0].In1 = QStringLiteral("keep");
    table[1].In1 = QStringLiteral("7");
    EXPECT_FALSE(decodeCounterReply(reply.left(kCounterReplySize - 3), table));
    EXPECT_EQ(table[1].In1, "7"); // a short reply leaves the table alone
    ASSERT_TRUE(decodeCounterReply(reply, table));
    EXPECT_EQ(countsOf(table[1]), QStringList({"1", "2", "258", "65535", "3", "4"}));
    EXPECT_EQ(table[64].In1, QString::number(0x1234));
    EXPECT_EQ(table[2].In1, "0");
    EXPECT_EQ(table[0].In1, "keep");
}

TEST(RxBufferTest, PiecesAppendInOrderAndFlagsFollowTheFirstByte) {
    const struct {
        QList<QByteArray> pieces;
        bool ack, nak;
    } rows[] = {
        {{fromHex("06 FF"), fromHex("15")}, true, false},
        {{fromHex("15"), fromHex("06")}, false, true},
        {{fromHex("FF 06 15")}, false, false},
    };
    for (const auto& row : rows) {
        LinkState link;
        for (const QByteArray& piece : row.pieces)
            appendReceived(link, piece);
        EXPECT_EQ(link.RxBuffer, row.pieces.join());
        EXPECT_EQ(link.AckFlag, row.ack) << link.RxBuffer.toHex(' ').toStdString();
        EXPECT_EQ(link.NakFlag, row.nak) << link.RxBuffer.toHex(' ').toStdString();
    }
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
    qunsetenv("NODALYX_COM4");
    EXPECT_EQ(serialPortName(4), QStringLiteral("/dev/ttyS3"));
    qputenv("NODALYX_COM4", "/dev/ttyUSB0");
    EXPECT_EQ(serialPortName(4), QStringLiteral("/dev/ttyUSB0"));
    qunsetenv("NODALYX_COM4");
    const QString text =
        serialOpenFailureText("/dev/ttyS0", QSerialPort::PermissionError, "Permission denied");
    EXPECT_TRUE(text.contains("/dev/ttyS0"));
    EXPECT_TRUE(text.contains("Permission denied"));
    EXPECT_TRUE(text.contains("dialout"));
    EXPECT_FALSE(serialOpenFailureText("x", QSerialPort::OpenError, "busy").contains("dialout"));
}
