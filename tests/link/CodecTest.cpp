// The pure codecs of the link: request frames, reply checks and decoders, the receive buffer.
#include "CommandFrame.h"
#include "CounterReadout.h"
#include "LinkHarness.h"
#include "LoggerReplies.h"
#include "RxBuffer.h"
#include "SerialPortName.h"

#include <gtest/gtest.h>

using namespace nodalyx;
using nodalyx::test::hexBytes;

TEST(CommandFrameTest, KnownFramesMatchTheWireBytes) {
    EXPECT_EQ(CommandFrame(2, 0, 0, 0, 0, 0, 0), hexBytes("FF FF 02 00 00 00 00 00 00 00 70"));
    EXPECT_EQ(CommandFrame(59, 0, 0, 0, 0, 0, 0), hexBytes("FF FF 3B 00 00 00 00 00 00 00 49"));
    EXPECT_EQ(CommandFrame(3, 0, 0, 0, 0x63, 0, 0x60),
              hexBytes("FF FF 03 00 00 00 63 00 60 00 72"));
    EXPECT_EQ(CommandFrame(1, 14, 30, 26, 5, 12, 3), hexBytes("FF FF 01 0E 1E 1A 05 0C 03 00 73"));
    // upload frames: port 3101, interval 15, Sunday 07:00-22:00, location code "123" (first of
    // three frames)
    EXPECT_EQ(CommandFrame(56, 0, 0, 0, 0, 12, 29), hexBytes("FF FF 38 00 00 00 00 0C 1D 00 5B"));
    EXPECT_EQ(CommandFrame(61, 0, 0, 0, 0, 0, 15), hexBytes("FF FF 3D 00 00 00 00 00 0F 00 40"));
    EXPECT_EQ(CommandFrame(7, 0, 22, 0, 7, 0, 1), hexBytes("FF FF 07 00 16 00 07 00 01 00 65"));
    EXPECT_EQ(CommandFrame(102, 0, 0, '3', '2', '1', 0),
              hexBytes("FF FF 66 00 00 33 32 31 00 00 24"));
}

TEST(CommandFrameTest, ChecksumCoversSecondSyncAndExtraByte) {
    EXPECT_EQ(quint8(CommandFrame(0, 0, 0, 0, 0, 0, 0).back()), 0x72);
    EXPECT_EQ(quint8(CommandFrame(0, 0, 0, 0, 0, 0, 0, 0x01).back()), 0x73);
    // 0xFF is an ordinary value in every position
    const QByteArray f = CommandFrame(0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF);
    EXPECT_EQ(f.size(), kFrameSize);
    EXPECT_EQ(quint8(f.back()), 0xFF ^ 0x8D); // nine FF bytes XOR to FF
}

TEST(CheckReplyTest, AcceptsOnlyWellFormedDataReplies) {
    EXPECT_FALSE(CheckReply(QByteArray()));
    EXPECT_FALSE(CheckReply(hexBytes("FF")));
    EXPECT_TRUE(CheckReply(hexBytes("FF 8D"))); // nothing between: checksum 0 XOR 141
    const QByteArray reply = DataReply(2, hexBytes("0E 1E 1A 05 0C 03"));
    EXPECT_TRUE(CheckReply(reply));
    QByteArray wrongStart = reply;
    wrongStart[0] = char(0xFE);
    EXPECT_FALSE(CheckReply(wrongStart));
    QByteArray wrongSum = reply;
    wrongSum.back() = char(wrongSum.back() ^ 1);
    EXPECT_FALSE(CheckReply(wrongSum));
    EXPECT_FALSE(CheckReply(reply + hexBytes("01")));
}

TEST(ReplyDecoderTest, ClockReplyNeedsEightBytes) {
    const QByteArray reply = hexBytes("FF 02 0E 1E 1A 05 0C 03 00");
    const auto clock = decodeClockReply(reply);
    ASSERT_TRUE(clock.has_value());
    EXPECT_EQ(*clock, (LoggerClock{14, 30, 26, 5, 12, 3}));
    EXPECT_EQ(clock->text(), QStringLiteral("12-05-2026  14:30"));
    EXPECT_FALSE(decodeClockReply(reply.left(7)).has_value());
    EXPECT_FALSE(decodeClockReply(hexBytes("06 02 0E 1E 1A 05 0C 03")).has_value());
}

TEST(ReplyDecoderTest, SerialReplyTakesTenCharactersTrimmed) {
    EXPECT_EQ(decodeSerialReply(DataReply(59, "  12345678")), QStringLiteral("12345678"));
    EXPECT_EQ(decodeSerialReply(hexBytes("FF 3B") + "AB"), QStringLiteral("AB"));
    EXPECT_FALSE(decodeSerialReply(hexBytes("15")).has_value());
    // characters beyond 0x7F stay one character per byte
    EXPECT_EQ(decodeSerialReply(DataReply(59, "\xE9"
                                              "123456789")),
              QString::fromLatin1("\xE9"
                                  "123456789"));
}

TEST(ReplyDecoderTest, LoggerClockFromPcTimeCountsSundayAsOne) {
    const LoggerClock sunday =
        LoggerClock::fromDateTime(QDateTime(QDate(2026, 12, 6), QTime(10, 30, 59)));
    EXPECT_EQ(sunday, (LoggerClock{10, 30, 26, 12, 6, 1}));
    const LoggerClock saturday =
        LoggerClock::fromDateTime(QDateTime(QDate(2026, 12, 5), QTime(0, 0)));
    EXPECT_EQ(saturday.weekday, 7);
    EXPECT_EQ(saturday.text(), QStringLiteral("05-12-2026  00:00"));
}

namespace {
QByteArray counterReply(const std::function<void(QByteArray&)>& fill) {
    QByteArray memory(769, '\0');
    fill(memory);
    return DataReply(3, memory);
}
} // namespace

TEST(CounterDecodeTest, BlocksGoToTheirEntriesHighByteFirst) {
    const QByteArray reply = counterReply([](QByteArray& m) {
        // unit 0: Live1 1, Live2 2, In2 3, Out2 4, In1 258, Out1 65535
        m.replace(0, 12, hexBytes("00 01 00 02 00 03 00 04 01 02 FF FF"));
        m.replace(12 * 63 + 8, 2, hexBytes("12 34")); // unit 63: In1 0x1234
        m[768] = char(0x99);                          // the byte at the last address is not used
    });
    ASSERT_EQ(reply.size(), kCounterReplySize);
    UnitTable table;
    table[0].In1 = QStringLiteral("keep");
    ASSERT_TRUE(decodeCounterReply(reply, table));
    EXPECT_EQ(table[1].Live1, "1");
    EXPECT_EQ(table[1].Live2, "2");
    EXPECT_EQ(table[1].In2, "3");
    EXPECT_EQ(table[1].Out2, "4");
    EXPECT_EQ(table[1].In1, "258");
    EXPECT_EQ(table[1].Out1, "65535");
    EXPECT_EQ(table[64].In1, QString::number(0x1234));
    EXPECT_EQ(table[2].In1, "0");
    EXPECT_EQ(table[0].In1, "keep");
}

TEST(CounterDecodeTest, ShortReplyLeavesTheTableAlone) {
    UnitTable table;
    table[1].In1 = QStringLiteral("7");
    EXPECT_FALSE(decodeCounterReply(hexBytes("FF 03 00 01"), table));
    EXPECT_EQ(table[1].In1, "7");
}

TEST(CountColumnsTest, ZeroAndUnreadCountsLeaveColumnsAlone) {
    UnitConfig unit;
    unit.HWaddress = QStringLiteral("5");
    unit.In1 = "258";
    unit.Out1 = "0";
    unit.In2 = "";
    unit.Out2 = "17";
    const auto c = countColumns(unit);
    EXPECT_EQ(c[0], QStringLiteral("258"));
    EXPECT_FALSE(c[1].has_value());
    EXPECT_FALSE(c[2].has_value());
    EXPECT_EQ(c[3], QStringLiteral("17"));
}

TEST(CountColumnsTest, UnitWithoutAddressNeverShowsItsSecondPair) {
    UnitConfig unit;
    unit.HWaddress = QStringLiteral("  ");
    unit.In1 = unit.Out1 = unit.In2 = unit.Out2 = "9";
    const auto c = countColumns(unit);
    EXPECT_EQ(c[0], QStringLiteral("9"));
    EXPECT_EQ(c[1], QStringLiteral("9"));
    EXPECT_FALSE(c[2].has_value());
    EXPECT_FALSE(c[3].has_value());
}

TEST(RxBufferTest, PiecesAppendInOrderAndFlagsFollowTheFirstByte) {
    LinkState link;
    appendReceived(link, hexBytes("06 FF"));
    EXPECT_TRUE(link.AckFlag);
    appendReceived(link, hexBytes("15"));
    EXPECT_FALSE(link.NakFlag); // only the first byte counts
    EXPECT_EQ(link.RxBuffer, hexBytes("06 FF 15"));

    LinkState nak;
    appendReceived(nak, hexBytes("15"));
    appendReceived(nak, hexBytes("06"));
    EXPECT_TRUE(nak.NakFlag);
    EXPECT_FALSE(nak.AckFlag);

    LinkState data;
    appendReceived(data, hexBytes("FF 06 15"));
    EXPECT_FALSE(data.AckFlag);
    EXPECT_FALSE(data.NakFlag);
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
