// The simulated logger: frame parsing, its answers, its state file, its faults and the
// nodalyx-loggersim program around it.
#include "CommandFrame.h"
#include "FrameParser.h"
#include "LinkHarness.h"
#include "LoggerResponder.h"
#include "PacedOutput.h"
#include "SimOptions.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>
#include <gtest/gtest.h>

using namespace nodalyx;
using namespace nodalyx::sim;
using namespace nodalyx::test;

namespace {
// The tool's request frame: FF FF, B1..B7, B8 = 0 and the checksum.
QByteArray frame(int b1, int b2 = 0, int b3 = 0, int b4 = 0, int b5 = 0, int b6 = 0, int b7 = 0) {
    return CommandFrame(quint8(b1), quint8(b2), quint8(b3), quint8(b4), quint8(b5), quint8(b6),
                        quint8(b7));
}

// The program; start() collects the lines it prints until it is ready ("serial ...").
struct SimProcess {
    QProcess process;
    QStringList lines;

    bool start(const QStringList& args) {
        process.start(QStringLiteral(NODALYX_SIM_PATH), args);
        while (process.waitForReadyRead(5000)) {
            lines +=
                QString::fromUtf8(process.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
            if (!lines.isEmpty() && lines.last().startsWith("serial "))
                return true;
        }
        return false;
    }
    int stop() {
        process.terminate();
        process.waitForFinished(5000);
        return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    }
};
} // namespace

TEST(FrameParserTest, FindsFramesAcrossPiecesAndAfterNoise) {
    FrameParser parser;
    const QByteArray f = frame(59);
    EXPECT_TRUE(parser.feed(f.left(4)).isEmpty());
    EXPECT_EQ(parser.feed(f.mid(4)), QList<QByteArray>{f});
    EXPECT_EQ(parser.feed(fromHex("00 12 FF") + f + f.left(1)), QList<QByteArray>{f});
    EXPECT_EQ(parser.feed(f.mid(1)), QList<QByteArray>{f});
    EXPECT_EQ(parser.skippedBytes(), 3);
    EXPECT_TRUE(FrameParser::checksumOk(f));
}

// Requests in order and the replies they get. The interval and the clock go through the link
// tests, the counter blocks through the read-out tests.
TEST(ResponderTest, RepliesAndWhatUploadsChange) {
    LoggerState state;
    LoggerResponder r(state);
    const QByteArray ack(1, char(6)), nak(1, char(21));
    QByteArray badSum = frame(59);
    badSum.back() = char(badSum.back() ^ 1);
    const std::pair<QByteArray, QByteArray> exchanges[] = {
        {frame(59), DataReply(59, "  12345678")},
        {frame(51), DataReply(51, fromHex("C0 A8 01 0A FF FF FF 00 C0 A8 01 01"))},
        {frame(55), DataReply(55, fromHex("0C 1D"))},
        {frame(57), DataReply(57, fromHex("00 1A 0B 0C 0D 0E"))},
        {frame(63), DataReply(63, "NODALYX-LOGGER      ")},
        {frame(65), DataReply(65, fromHex("C0 A8 01 4D"))},
        {frame(66), DataReply(66, fromHex("00"))},
        {frame(107), DataReply(107, "      ")},
        // location code "123": the first text frame as the tool sends it, then the others
        {fromHex("FF FF 66 00 00 33 32 31 00 00 24"), ack},
        {frame(102, 0, 0, 0, 0, 0, 1), ack},
        {frame(102, 0, 0, 0, 0, 0, 2), ack},
        {frame(101), DataReply(101, "123       ")},
        // a ten-character name: characters 1..5 in B6..B2 of the first frame, 6..10 of the second
        {frame(104, 'E', 'D', 'C', 'B', 'A', 0), ack},
        {frame(104, 'J', 'I', 'H', 'G', 'F', 1), ack},
        {frame(104, 0, 0, 0, 0, 0, 2), ack},
        {frame(103), DataReply(103, "ABCDEFGHIJ")},
        {frame(110, 'f', 'e', 'd', 'c', 'b', 'a'), ack},
        {frame(109), DataReply(109, "abcdef")},
        // Sunday 07:00-22:00 lands at 4*1+6 .. 4*1+9
        {fromHex("FF FF 07 00 16 00 07 00 01 00 65"), ack},
        {frame(3, 0, 0, 14, 0, 10, 0), DataReply(3, fromHex("07 00 16 00 00"))},
        {frame(52, 0, 0, 4, 3, 2, 1), ack},
        {frame(54, 0, 0, 9, 9, 9, 9), ack},
        {frame(51), DataReply(51, fromHex("01 02 03 04 FF FF FF 00 09 09 09 09"))},
        {frame(56, 0, 0, 0, 0, 0x12, 0x34), ack},
        {frame(55), DataReply(55, fromHex("12 34"))},
        {fromHex("FF FF 38 00 00 00 00 0C 1D 00 5B"), ack}, // port 3101
        {frame(55), DataReply(55, fromHex("0C 1D"))},
        {badSum, nak},
        {frame(99), nak},                        // unknown code
        {frame(7, 0, 22, 0, 7, 0, 8), nak},      // no day 8
        {frame(3, 0, 0, 0, 0x60, 0, 0x61), nak}, // the first address after the last
    };
    for (const auto& [request, reply] : exchanges)
        EXPECT_EQ(r.respond(request).bytes, reply) << request.toHex(' ').toStdString();
    EXPECT_EQ(state.dayWindow(1), QStringLiteral("07002200"));
    const QByteArray clock = r.respond(frame(2)).bytes; // six bytes of data
    EXPECT_EQ(clock.size(), 9);
    EXPECT_TRUE(CheckReply(clock));
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
    EXPECT_TRUE(QTest::qWaitFor([&] { return out.idle() && !pieces.isEmpty(); }, 2000));
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
    const QStringList refused[] = {{"--tcp", "x:70000"},
                                   {"--nak", "300", "--tcp", "1"},
                                   {"--serial", "A"}}; // nowhere to listen
    for (const QStringList& args : refused)
        EXPECT_FALSE(parseSimOptions(args, &error, &help).has_value())
            << args.join(' ').toStdString();
}

TEST(SimProgramTest, ServesTcpAndPtyAndKeepsItsStateFile) {
    TempDir dir;
    const QString pty = dir.file("ttyLOGGER"), stateFile = dir.file("logger.json");
    SimProcess sim;
    ASSERT_TRUE(sim.start({"--tcp", "127.0.0.1:0", "--pty", pty, "--serial", "XYZ",
                           "--fixed-counts", "--state", stateFile}))
        << sim.lines.join('\n').toStdString();
    EXPECT_TRUE(QFileInfo(pty).isSymLink());
    const QStringList tcp = sim.lines.filter(QRegularExpression("^tcp "));
    ASSERT_EQ(tcp.size(), 1) << sim.lines.join('\n').toStdString();
    qputenv("NODALYX_COM5", pty.toLocal8Bit());
    for (int interval : {20, 30}) { // over TCP, then over the serial line
        SharedState state;
        pointAtTcp(state, quint16(tcp.first().section(':', -1).toUInt()));
        if (interval == 30) {
            state.settings.ConnType = 1;
            state.settings.Comport = 5;
        }
        ScriptedOperator op;
        Link link(state, op);
        link.setTimeouts(shortTimeouts());
        ASSERT_TRUE(link.OpenLink()) << op.lastText().toStdString();
        EXPECT_EQ(link.ReadLoggerSerial(), QStringLiteral("XYZ"));
        ASSERT_TRUE(link.SendCommand(61, 0, 0, 0, 0, 0, interval));
        EXPECT_TRUE(link.WaitAck());
    }
    qunsetenv("NODALYX_COM5");

    EXPECT_EQ(sim.stop(), 0);
    EXPECT_FALSE(QFileInfo::exists(pty));
    QFile file(stateFile);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QJsonObject saved = QJsonDocument::fromJson(file.readAll()).object();
    EXPECT_EQ(saved["serial"].toString(), "XYZ");
    EXPECT_EQ(saved["interval"].toInt(), 30);
    EXPECT_FALSE(saved["growingCounts"].toBool());

    SimProcess again; // the state file gives the serial number without --serial
    ASSERT_TRUE(again.start({"--tcp", "0", "--state", stateFile}));
    EXPECT_TRUE(again.lines.contains("serial XYZ"));
    EXPECT_EQ(again.stop(), 0);
}

TEST(SimProgramTest, HelpAndUsageErrors) {
    QProcess p;
    p.start(QStringLiteral(NODALYX_SIM_PATH), {"--help"});
    ASSERT_TRUE(p.waitForFinished(5000));
    EXPECT_EQ(p.exitCode(), 0);
    EXPECT_TRUE(p.readAllStandardOutput().contains("--tcp"));
    p.start(QStringLiteral(NODALYX_SIM_PATH), {"--tcp", "0", "--bogus"});
    ASSERT_TRUE(p.waitForFinished(5000));
    EXPECT_EQ(p.exitCode(), 2);
}
