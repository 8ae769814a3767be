// The simulated logger's answers to the settings it stores, its state file and its command line.
#include "CommandFrame.h"
#include "LinkHarness.h"
#include "LoggerResponder.h"
#include "SimFaults.h"
#include "SimOptions.h"

#include <gtest/gtest.h>
#include <tuple>

using namespace nodalyx;
using namespace nodalyx::sim;
using namespace nodalyx::test;

namespace {

std::optional<SimOptions> parse(const QStringList& args, QString* error = nullptr) {
    QString ignored;
    bool help = false, version = false;
    return parseSimOptions(args, error ? error : &ignored, &help, &version);
}

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

TEST(SimOptions, EveryOptionInTheOrderGiven) {
    const auto o =
        parse(QStringLiteral("--tcp [::1]:3101 --pty /tmp/tty --state s.json --serial SN1 "
                             "--files f --growing-counts --fixed-counts --delay 5 "
                             "--silent --nak 3 --nak=5,7 --corrupt 1 --extra-byte 2 "
                             "--drop-byte 4 --close-on 59 --chunk 4 --chunk-gap 6 "
                             "--baud 19200 --verbose")
                  .split(' '));
    ASSERT_TRUE(o);
    const SimFaults& f = o->faults;
    EXPECT_EQ(std::tuple(o->tcp, o->host.toString(), o->port, o->verbose),
              std::tuple(true, QString("::1"), quint16(3101), true));
    EXPECT_EQ(QStringList({o->ptyLink, o->stateFile, o->serial, o->filesFolder}),
              QStringList({"/tmp/tty", "s.json", "SN1", "f"}));
    EXPECT_EQ(o->growing, false); // the later of the two switches
    EXPECT_EQ(std::tuple(f.delayMs, f.silent, f.chunkSize, f.chunkGapMs, f.baud),
              std::tuple(5, true, 4, 6, 19200));
    EXPECT_EQ(f.nakCodes, QSet<int>({3, 5, 7})); // repeated lists add up
    EXPECT_EQ(QList<QSet<int>>({f.corruptCodes, f.extraByteCodes, f.dropByteCodes, f.closeCodes}),
              QList<QSet<int>>({{1}, {2}, {4}, {59}}));
    EXPECT_EQ(parse({"--fixed-counts", "--growing-counts", "--tcp", "0"})->growing, true);
    EXPECT_EQ(parse({"--tcp", "localhost:0"})->host.toString(), "127.0.0.1");
    EXPECT_FALSE(parse({"--pty", "l"})->growing.has_value());
}

TEST(SimOptions, MistakesHelpAndVersion) {
    const std::pair<QStringList, const char*> mistakes[] = {
        {{}, "give --tcp [HOST:]PORT or --pty LINK"},
        {{"--tcp"}, "--tcp needs a value"},
        {{"--tcp", "70000"}, "--tcp: '70000' is not [HOST:]PORT"},
        {{"--tcp", "0", "--delay", "x"}, "--delay: 'x' is not a number from 0 to 600000"},
        {{"--tcp", "0", "--nak", "3,256"}, "--nak: '3,256' is not a list of codes 0..255"},
        {{"--tcp", "0", "--bogus"}, "unknown option '--bogus'"},
        {{"--tcp", "0", "stray"}, "unknown option 'stray'"}};
    for (const auto& [args, text] : mistakes) {
        QString error;
        EXPECT_FALSE(parse(args, &error)) << args.join(' ').toStdString();
        EXPECT_EQ(error, QString(text));
    }
    QString error;
    bool help = false, version = false;
    EXPECT_TRUE(parseSimOptions({"--tcp", "0", "-h"}, &error, &help, &version) && help);
    EXPECT_TRUE(parseSimOptions({"--version"}, &error, &help, &version) && version && !help);

    const QString usage = simUsage();
    for (const QString& name : simOptionNames())
        EXPECT_TRUE(usage.contains("--" + name + ' ') || usage.contains("--" + name + '\n'))
            << name.toStdString();
}

// --packet-fault: the kinds, the announce fault's two numbers, and what is no fault.
TEST(SimOptions, PacketFaults) {
    using Kind = PacketFault::Kind;
    const struct {
        const char* text;
        bool valid;
        Kind kind;
        qint64 value, blocks;
    } cases[] = {
        {"6:3:nak", true, Kind::Nak, 0, -1},
        {"13:*:late:0:3000", true, Kind::Late, 3000, -1},
        {"6:*:empty:0", true, Kind::Empty, 0, -1},
        {"11:0:announce:1:14", true, Kind::Announce, 14, -1},
        {"11:0:announce:1:4294967295:0", true, Kind::Announce, 4294967295LL, 0},
        {"11:0:announce:1:4294967296", false, Kind::Announce, 0, 0},
        {"13:*:late:0:600001", false, Kind::Late, 0, 0},
        {"6:1:empty:1:2:3", false, Kind::Empty, 0, 0}, // a block count only for announce
        {"6:1:bogus", false, Kind::Silent, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const std::optional<PacketFault> f = parsePacketFault(QString::fromLatin1(c.text));
        ASSERT_EQ(f.has_value(), c.valid);
        if (!f)
            continue;
        EXPECT_EQ(f->kind, c.kind);
        EXPECT_EQ(f->value, c.value);
        EXPECT_EQ(f->blocks, c.blocks);
    }
    EXPECT_TRUE(parse({"--tcp", "0", "--packet-fault", "11:0:announce:1:0:0"}));
}
