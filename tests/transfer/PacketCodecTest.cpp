// The transfer packet on bytes, and the reader among noise, pieces and floods.
#include "PacketReader.h"
#include "TempDir.h"
#include "TransferPacket.h"

#include <gtest/gtest.h>

using namespace nodalyx;
using namespace nodalyx::test;

namespace {
const char* const kFileRequest =
    "02 0B 00 00 00 00 00 0F 43 3A 5C 6E 76 71 5C 48 57 30 31 2E 69 6E 69 00 00 BF C3";
const char* const kBlockRequest1 = "02 06 00 00 00 01 00 00 00 00 E8 AB";
const char* const kAckPacket2 = "02 0D 00 00 00 02 00 03 41 43 4B 00 00 73 93";

TransferPacket reply(quint32 number, const QByteArray& text1 = "ACK", quint8 code = 13) {
    return {code, number, text1, {}};
}
} // namespace

TEST(PacketCodecTest, FixturesBothWaysAndTheCrcCheckValue) {
    EXPECT_EQ(crc16CcittFalse("123456789"), 0x29B1);
    const std::pair<const char*, TransferPacket> fixtures[] = {
        {kFileRequest, {11, 0, "C:\\nvq\\HW01.ini", {}}},
        {kBlockRequest1, {6, 1, {}, {}}},
        {kAckPacket2, {13, 2, "ACK", {}}},
    };
    for (const auto& [hex, packet] : fixtures) {
        SCOPED_TRACE(hex);
        EXPECT_EQ(encodePacket(packet), fromHex(hex));
        const PacketScan scan = scanPacket(fromHex(hex));
        EXPECT_EQ(scan.kind, PacketScan::Kind::Packet);
        EXPECT_EQ(scan.size, fromHex(hex).size());
        EXPECT_EQ(scan.packet, packet);
    }
}

TEST(PacketCodecTest, LengthLimitsAndWhatIsNotAPacket) {
    const QByteArray full(kMaxPacketText, 'x');
    EXPECT_EQ(encodePacket({11, 1, full, full}).size(), kMaxPacketSize);
    EXPECT_TRUE(encodePacket({11, 1, full + 'x', {}}).isEmpty());
    EXPECT_TRUE(encodePacket({11, 1, {}, full + 'x'}).isEmpty());

    const QByteArray good = fromHex(kBlockRequest1);
    EXPECT_EQ(scanPacket(good.left(11)).kind, PacketScan::Kind::Incomplete);
    EXPECT_EQ(scanPacket(fromHex("FF FF 02 00")).kind, PacketScan::Kind::NotAPacket);
    EXPECT_EQ(scanPacket(fromHex("02 06 00 00 00 01 10 01")).kind, PacketScan::Kind::NotAPacket);
    QByteArray bad = good;
    bad[bad.size() - 1] = char(bad.back() ^ 1);
    EXPECT_EQ(scanPacket(bad).kind, PacketScan::Kind::BadCrc);
}

TEST(PacketReaderTest, FalseStartsDoNotHideAReplyAndFloodsStayBounded) {
    PacketReader r;
    // In pieces, behind noise that holds a false start.
    const QByteArray ack2 = fromHex(kAckPacket2);
    r.feed(fromHex("41 02 0D") + ack2.left(5));
    EXPECT_EQ(r.take(2).outcome, PacketReader::Result::Outcome::None);
    r.feed(ack2.mid(5));
    EXPECT_EQ(r.take(2).packet, reply(2));
    // 02 with a length of 4000: it would wait for bytes that never come.
    r.feed(fromHex("02 0B 00 00 00 07 0F A0") + encodePacket(reply(7, "data", 11)));
    EXPECT_EQ(r.take(7).packet, reply(7, "data", 11));

    for (int i = 0; i < 100; ++i)
        r.feed(QByteArray(4096, '\x02'));
    EXPECT_LE(r.size(), kMaxPacketSize);
    r.clear();
    for (int i = 0; i < 100; ++i)
        r.feed(QByteArray(4096, 'A'));
    EXPECT_EQ(r.take(1).outcome, PacketReader::Result::Outcome::None);
    EXPECT_TRUE(r.isEmpty());
}

TEST(PacketReaderTest, ANewRequestKeepsWholePacketsOnly) {
    PacketReader r;
    const QByteArray ack5 = encodePacket(reply(5));
    r.feed("xx" + ack5 + ack5.left(7));
    r.keepWholePackets();
    EXPECT_EQ(r.size(), ack5.size());
    EXPECT_EQ(r.take(5).outcome, PacketReader::Result::Outcome::Reply);
    EXPECT_TRUE(r.isEmpty());
}
