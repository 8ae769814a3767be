// The simulated logger's refusals, its state file and its command line.
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

} // namespace

// What the logger stores is proven by the upload's read-back test; here, what it refuses.
TEST(ResponderTest, ABadChecksumOrAnUnknownCodeIsRefused) {
    LoggerState state;
    LoggerResponder r(state);
    QByteArray badSum = CommandFrame(51, 0, 0, 0, 0, 0, 0);
    badSum.back() = char(badSum.back() ^ 1);
    for (const QByteArray& request : {badSum, QByteArray(CommandFrame(99, 0, 0, 0, 0, 0, 0))})
        EXPECT_EQ(r.respond(request).bytes, QByteArray(1, char(21))) << request.toHex(' ').data();
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

// Every option once (the fault lists are read by one routine: two of them stand for all).
TEST(SimOptions, OptionsInTheOrderGiven) {
    const auto o = parse(QStringLiteral("--tcp [::1]:3101 --pty /tmp/tty --state s.json --serial "
                                        "SN1 --files f --growing-counts --fixed-counts --delay 5 "
                                        "--silent --nak 3 --nak=5,7 --close-on 59 --chunk 4 "
                                        "--chunk-gap 6 --baud 19200 --verbose")
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
    EXPECT_EQ(f.closeCodes, QSet<int>({59}));
    EXPECT_EQ(parse({"--tcp", "localhost:0"})->host.toString(), "127.0.0.1");
    EXPECT_FALSE(parse({"--pty", "l"})->growing.has_value());
}

TEST(SimOptions, MistakesHelpAndVersion) {
    const std::pair<QStringList, const char*> mistakes[] = {
        {{}, "give --tcp [HOST:]PORT or --pty LINK"},
        {{"--tcp", "70000"}, "--tcp: '70000' is not [HOST:]PORT"},
        {{"--tcp", "0", "--nak", "3,256"}, "--nak: '3,256' is not a list of codes 0..255"},
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
}

// --packet-fault: the announce fault's two numbers, and what is no fault.
TEST(SimOptions, PacketFaults) {
    using Kind = PacketFault::Kind;
    const struct {
        const char* text;
        bool valid;
        Kind kind;
        qint64 value, blocks;
    } cases[] = {
        {"13:*:late:0:3000", true, Kind::Late, 3000, -1},
        {"11:0:announce:1:4294967295:0", true, Kind::Announce, 4294967295LL, 0},
        {"11:0:announce:1:4294967296", false, Kind::Announce, 0, 0},
        {"6:1:empty:1:2:3", false, Kind::Empty, 0, 0}, // a block count only for announce
        {"6:1:bogus", false, Kind::Silent, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const std::optional<PacketFault> f = parsePacketFault(QString::fromLatin1(c.text));
        ASSERT_EQ(f.has_value(), c.valid);
        if (f) {
            EXPECT_EQ(std::tuple(f->kind, f->value, f->blocks),
                      std::tuple(c.kind, c.value, c.blocks));
        }
    }
}
