// The simulated logger's refusals, its state file and its command line.
#include "CommandFrame.h"
#include "LinkHarness.h"
#include "LoggerFleet.h"
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

// --loggers and --silent-loggers, and what they cannot go with.
TEST(SimOptions, ManyLoggers) {
    const auto o = parse({"--tcp", "0", "--loggers", "200", "--silent-loggers", "20"});
    ASSERT_TRUE(o);
    EXPECT_EQ(std::tuple(o->loggers, o->silentLoggers), std::tuple(std::optional(200), 20));
    EXPECT_FALSE(parse({"--tcp", "0"})->loggers.has_value());
    const std::pair<QStringList, const char*> mistakes[] = {
        {{"--tcp", "0", "--loggers", "0"}, "--loggers: '0' is not a number from 1 to 1000"},
        {{"--tcp", "0", "--silent-loggers", "1"}, "--silent-loggers needs --loggers"},
        {{"--tcp", "0", "--loggers", "3", "--silent-loggers", "4"},
         "--silent-loggers: 4 is more than the 3 loggers"},
        {{"--pty", "l", "--loggers", "3"},
         "--loggers needs --tcp and takes neither --pty nor --state"},
        {{"--tcp", "0", "--state", "s.json", "--loggers", "3"},
         "--loggers needs --tcp and takes neither --pty nor --state"},
        {{"--tcp", "65534", "--loggers", "3"}, "--loggers: ports 65534 to 65536 do not all exist"},
    };
    for (const auto& [args, text] : mistakes) {
        QString error;
        EXPECT_FALSE(parse(args, &error)) << args.join(' ').toStdString();
        EXPECT_EQ(error, QString(text));
    }
}

// Every logger of a fleet is told apart by its serial number; exactly the silent count of them
// is silent, evenly apart; clocks differ, and every seventh drifts by whole minutes.
TEST(LoggerFleetTest, MembersDifferAndTheSilentOnesAreSpreadEvenly) {
    const struct {
        const char* base;
        int count, silent;
        QList<int> silentOnes; // the first few, 1-based
        const char* first;
    } cases[] = {
        {"NX00424242", 200, 20, {10, 20, 30}, "NX00424001"},
        {"AB", 8, 2, {4, 8}, "AB1"},
        {"SN0042", 12, 0, {}, "SN004201"},
        {"SN0042", 5, 5, {1, 2, 3}, "SN00421"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.base + std::to_string(c.count));
        QSet<QString> serials;
        QSet<qint64> offsets;
        QList<int> silent;
        for (int n = 1; n <= c.count; ++n) {
            const auto m = LoggerFleet::member(QString::fromLatin1(c.base), c.count, c.silent, n);
            EXPECT_LE(m.serial.size(), 10);
            serials << m.serial;
            offsets << m.clockOffsetSecs;
            if (m.silent)
                silent << n;
            EXPECT_EQ(qAbs(m.clockOffsetSecs) > 30, n % 7 == 0) << n;
        }
        EXPECT_EQ(serials.size(), c.count);
        EXPECT_EQ(LoggerFleet::member(c.base, c.count, c.silent, 1).serial, QString(c.first));
        EXPECT_GT(offsets.size(), qMin(c.count, 60) / 2);
        ASSERT_EQ(silent.size(), c.silent);
        EXPECT_EQ(silent.mid(0, c.silentOnes.size()), c.silentOnes);
        for (int i = 1; i < silent.size(); ++i) // evenly apart
            EXPECT_EQ(silent[i] - silent[i - 1], c.count / c.silent);
    }
}

// Eight loggers in this process: each on a port of its own, answering with its own serial
// number and clock; the 4th and 8th take the connection and answer nothing.
TEST(LoggerFleetTest, EachLoggerAnswersOnItsOwnPort) {
    LoggerFleet::Plan plan;
    plan.count = 8;
    plan.silentCount = 2;
    plan.state.serial = QStringLiteral("NX42");
    plan.state.growing = false;
    LoggerFleet fleet(plan);
    ASSERT_TRUE(fleet.listen(QHostAddress::LocalHost, 0)) << fleet.errorString().toStdString();
    const QStringList lines = fleet.readyLines(QHostAddress::LocalHost);
    ASSERT_EQ(lines.size(), 8);
    QSet<quint16> ports;
    for (int i = 0; i < fleet.size(); ++i) {
        SCOPED_TRACE(lines[i].toStdString());
        const quint16 port = fleet.logger(i).tcpPort();
        ports << port;
        const QString serial = QStringLiteral("NX42%1").arg(i + 1);
        const bool silent = i == 3 || i == 7;
        EXPECT_EQ(fleet.isSilent(i), silent);
        EXPECT_TRUE(lines[i].startsWith(
            QStringLiteral("tcp 127.0.0.1:%1 serial %2 clock offset ").arg(port).arg(serial)));
        EXPECT_EQ(lines[i].endsWith(" silent"), silent);
        SharedState state;
        pointAtTcp(state, port);
        Link link(state.settings);
        link.setTimeouts(shortTimeouts());
        ASSERT_TRUE(link.OpenLink()) << link.lastFailure().toStdString();
        EXPECT_EQ(link.ReadLoggerSerial(), silent ? std::nullopt : std::optional(serial));
        LoggerClock clock;
        ASSERT_EQ(link.ReadLoggerClock(clock), !silent);
        if (silent)
            continue;
        const QDateTime logger(QDate(2000 + clock.year, clock.month, clock.day),
                               QTime(clock.hour, clock.minute));
        const qint64 expected = LoggerFleet::member(plan.state.serial, 8, 2, i + 1).clockOffsetSecs;
        EXPECT_NEAR(double(QDateTime::currentDateTime().secsTo(logger)), double(expected), 61.0);
    }
    EXPECT_EQ(ports.size(), 8);
}
