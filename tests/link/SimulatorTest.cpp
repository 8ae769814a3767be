// The simulated logger: frame parsing, its answers, its state file and its faults.
#include "FrameParser.h"
#include "LinkHarness.h"
#include "LoggerResponder.h"
#include "PacedOutput.h"
#include "SimOptions.h"
#include "TempDir.h"

#include <QTest>
#include <gtest/gtest.h>

using namespace nodalyx;
using namespace nodalyx::sim;
using nodalyx::test::hexBytes;

namespace {
QByteArray frame(int b1, int b2 = 0, int b3 = 0, int b4 = 0, int b5 = 0, int b6 = 0, int b7 = 0) {
    QByteArray f = hexBytes("FF FF");
    for (int b : {b1, b2, b3, b4, b5, b6, b7, 0})
        f.append(char(b));
    f.append('\0');
    f.back() = char(FrameParser::checksum(f));
    return f;
}

QByteArray dataOf(const QByteArray& reply) {
    EXPECT_GE(reply.size(), 3);
    EXPECT_EQ(quint8(reply.at(0)), 0xFF);
    EXPECT_EQ(FrameParser::checksum(reply), quint8(reply.back()));
    return reply.mid(2, reply.size() - 3);
}
} // namespace

TEST(FrameParserTest, FindsFramesAcrossPiecesAndAfterNoise) {
    FrameParser parser;
    const QByteArray f = frame(59);
    EXPECT_TRUE(parser.feed(f.left(4)).isEmpty());
    EXPECT_EQ(parser.feed(f.mid(4)), QList<QByteArray>{f});
    EXPECT_EQ(parser.feed(hexBytes("00 12 FF") + f + f.left(1)), QList<QByteArray>{f});
    EXPECT_EQ(parser.feed(f.mid(1)), QList<QByteArray>{f});
    EXPECT_EQ(parser.skippedBytes(), 3);
    EXPECT_TRUE(FrameParser::checksumOk(f));
    EXPECT_EQ(f, hexBytes("FF FF 3B 00 00 00 00 00 00 00 49"));
}

TEST(ResponderTest, ReadRepliesHaveTheLengthsTheToolExpects) {
    LoggerState state = LoggerState::withDefaults();
    state.serial = QStringLiteral("12345678");
    LoggerResponder r(state);
    const QByteArray serial = r.respond(frame(59)).bytes;
    EXPECT_EQ(serial.size(), 13);
    EXPECT_EQ(dataOf(serial), QByteArray("  12345678"));
    EXPECT_EQ(quint8(serial.at(1)), 59);
    EXPECT_EQ(dataOf(r.respond(frame(51)).bytes), hexBytes("C0 A8 01 0A FF FF FF 00 C0 A8 01 01"));
    EXPECT_EQ(dataOf(r.respond(frame(55)).bytes), hexBytes("0C 1D"));
    EXPECT_EQ(dataOf(r.respond(frame(57)).bytes), hexBytes("00 1A 0B 0C 0D 0E"));
    EXPECT_EQ(dataOf(r.respond(frame(63)).bytes).size(), 20);
    EXPECT_EQ(dataOf(r.respond(frame(65)).bytes).size(), 4);
    EXPECT_EQ(dataOf(r.respond(frame(66)).bytes), hexBytes("00"));
    EXPECT_EQ(dataOf(r.respond(frame(101)).bytes), QByteArray("SIM01     "));
    EXPECT_EQ(dataOf(r.respond(frame(107)).bytes), QByteArray(6, ' '));
    EXPECT_EQ(dataOf(r.respond(frame(2)).bytes).size(), 6);
    // memory reads: (last - first + 1) + 3 bytes
    EXPECT_EQ(r.respond(frame(3, 0, 0, 10, 0, 9, 0)).bytes.size(), 5);
    EXPECT_EQ(r.respond(frame(3, 0, 0, 0, 0x63, 0, 0x60)).bytes.size(), 772);
}

TEST(ResponderTest, UploadFramesChangeWhatTheReadsAnswer) {
    LoggerState state;
    LoggerResponder r(state);
    const QByteArray ack(1, char(6));
    // location code "123": the first text frame as the tool sends it, then the second and third
    EXPECT_EQ(r.respond(hexBytes("FF FF 66 00 00 33 32 31 00 00 24")).bytes, ack);
    EXPECT_EQ(r.respond(frame(102, 0, 0, 0, 0, 0, 1)).bytes, ack);
    EXPECT_EQ(r.respond(frame(102, 0, 0, 0, 0, 0, 2)).bytes, ack);
    EXPECT_EQ(dataOf(r.respond(frame(101)).bytes), QByteArray("123       "));
    // a ten-character name: the fifth character in B2 of the first frame, the tenth in B2 of the
    // second
    r.respond(frame(104, 'E', 'D', 'C', 'B', 'A', 0));
    r.respond(frame(104, 'J', 'I', 'H', 'G', 'F', 1));
    r.respond(frame(104, 0, 0, 0, 0, 0, 2));
    EXPECT_EQ(state.locationName, QStringLiteral("ABCDEFGHIJ"));
    r.respond(frame(110, 'f', 'e', 'd', 'c', 'b', 'a'));
    EXPECT_EQ(dataOf(r.respond(frame(109)).bytes), QByteArray("abcdef"));
    // Sunday 07:00-22:00 lands at 4*1+6 .. 4*1+9
    EXPECT_EQ(r.respond(hexBytes("FF FF 07 00 16 00 07 00 01 00 65")).bytes, ack);
    EXPECT_EQ(dataOf(r.respond(frame(3, 0, 0, 14, 0, 10, 0)).bytes), hexBytes("07 00 16 00 00"));
    EXPECT_EQ(state.dayWindow(1), QStringLiteral("07002200"));
    EXPECT_EQ(r.respond(hexBytes("FF FF 3D 00 00 00 00 00 0F 00 40")).bytes, ack);
    EXPECT_EQ(state.interval(), 15);
    r.respond(frame(52, 0, 0, 4, 3, 2, 1));
    r.respond(frame(54, 0, 0, 9, 9, 9, 9));
    EXPECT_EQ(dataOf(r.respond(frame(51)).bytes).left(4), hexBytes("01 02 03 04"));
    EXPECT_EQ(r.respond(hexBytes("FF FF 38 00 00 00 00 0C 1D 00 5B")).bytes, ack);
    EXPECT_EQ(state.port, 3101);
    EXPECT_EQ(r.respond(frame(1, 14, 30, 26, 5, 12, 3)).bytes, ack);
    EXPECT_EQ(dataOf(r.respond(frame(2)).bytes).left(5), hexBytes("0E 1E 1A 05 0C"));
}

TEST(ResponderTest, NakForBadChecksumUnknownCodeAndBadDay) {
    LoggerState state;
    LoggerResponder r(state);
    const QByteArray nak(1, char(21));
    QByteArray bad = frame(59);
    bad.back() = char(bad.back() ^ 1);
    EXPECT_EQ(r.respond(bad).bytes, nak);
    EXPECT_EQ(r.respond(frame(99)).bytes, nak);
    EXPECT_EQ(r.respond(frame(7, 0, 22, 0, 7, 0, 8)).bytes, nak);
    EXPECT_EQ(r.respond(frame(3, 0, 0, 0, 0x60, 0, 0x61)).bytes, nak); // first after last
}

TEST(LoggerStateTest, JsonKeepsEverythingTheToolCanRead) {
    test::TempDir dir;
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

TEST(PacedOutputTest, PiecesAndPacing) {
    PacedOutput out;
    QList<QByteArray> pieces;
    out.setSink([&pieces](const QByteArray& b) { pieces.append(b); });
    out.setPacing(0, 4, 0);
    out.send("0123456789");
    EXPECT_EQ(pieces, (QList<QByteArray>{"0123", "4567", "89"}));

    pieces.clear();
    out.setPacing(19200, 0, 0); // 100 bytes take 52 ms on the line
    const qint64 start = out.nowNs();
    out.send(QByteArray(100, 'x'));
    EXPECT_TRUE(pieces.isEmpty()); // nothing leaves before its wire time
    QTRY_VERIFY_WITH_TIMEOUT(out.idle() && !pieces.isEmpty(), 2000);
    EXPECT_GE(out.nowNs() - start, out.wireNs(100));
    EXPECT_EQ(pieces.join().size(), 100);
}

TEST(SimOptionsTest, CommandLine) {
    QString error;
    bool help = false;
    auto o = parseSimOptions({"--tcp", "127.0.0.1:0", "--serial", "XYZ", "--fixed-counts", "--nak",
                              "59,3", "--baud", "19200", "--pty", "/tmp/x"},
                             &error, &help);
    ASSERT_TRUE(o.has_value()) << error.toStdString();
    EXPECT_EQ(o->growing, false);
    EXPECT_EQ(o->faults.nakCodes, (QSet<int>{59, 3}));
    o = parseSimOptions({"--tcp", "4000"}, &error, &help);
    ASSERT_TRUE(o.has_value());
    EXPECT_EQ(o->host, QHostAddress(QHostAddress::LocalHost));
    EXPECT_EQ(o->port, 4000);
    EXPECT_FALSE(parseSimOptions({"--tcp", "x:70000"}, &error, &help).has_value());
    EXPECT_FALSE(parseSimOptions({"--nak", "300", "--tcp", "1"}, &error, &help).has_value());
    EXPECT_FALSE(
        parseSimOptions({"--serial", "A"}, &error, &help).has_value()); // nowhere to listen
}
