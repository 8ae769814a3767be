// The communication log: the line formatter, the recorder of a link's traffic against the
// simulated logger, the adapters' names and verdicts, and the bounded buffer of lines.
#include "CounterReadout.h"
#include "FileTransferLink.h"
#include "HighwayTraffic.h"
#include "LinkHarness.h"
#include "LoggerCodes.h"
#include "LoggerReplies.h"
#include "TempDir.h"
#include "TrafficLogBuffer.h"
#include "TrafficRecorder.h"
#include "TransferTraffic.h"
#include "UnitFrames.h"

#include <QFile>
#include <QRegularExpression>
#include <gtest/gtest.h>

using namespace nodalyx;
using namespace nodalyx::test;
using sim::SimFaults;

namespace {

const QDateTime kNoon(QDate(2026, 5, 12), QTime(12, 0, 0, 7));

QByteArray hex(const char* text) {
    return QByteArray::fromHex(text);
}

} // namespace

TEST(TrafficLogTest, OneLinePerEntryWithTimeSourceNameVerdictAndHexLast) {
    const PacketTrace sentPacket{true, true, 11, 0, 15, 0, 27, "CRC BFC3", hex("020B0000")};
    const PacketTrace noise{false, false, 0, 0, 0, 0, 2, "not a packet: skipped", hex("4142")};
    const struct {
        TrafficEntry entry;
        const char* line;
    } rows[] = {
        {{kNoon,
          TrafficSource::Link,
          TrafficDirection::Sent,
          hex("FFFF3B00000000000000"
              "49"),
          commandName(cmd::ReadSerial),
          {}},
         "12:00:00.007 link     ReadSerial                    -> FF FF 3B 00 00 00 00 00 00 00 49"},
        {{kNoon, TrafficSource::Link, TrafficDirection::Received, hex("06"),
          commandName(cmd::SetClock), "ACK"},
         "12:00:00.007 link     SetClock         ACK          <- 06"},
        {{kNoon, TrafficSource::Link, TrafficDirection::Received, {}, commandName(42), "no answer"},
         "12:00:00.007 link     command 42       no answer    <-"},
        {{kNoon, TrafficSource::Link, TrafficDirection::Note, {}, {}, "dropped 3 bytes (stray)"},
         "12:00:00.007 link                      dropped 3 bytes (stray) !!"},
        {[&] {
             TrafficEntry e = transferEntry(sentPacket);
             e.time = kNoon;
             return e;
         }(),
         "12:00:00.007 transfer code 11 number 0 L1 15 L2 0 CRC BFC3     -> 02 0B 00 00"},
        {[&] {
             TrafficEntry e = transferEntry(noise);
             e.time = kNoon;
             return e;
         }(),
         "12:00:00.007 transfer 2 bytes          not a packet: skipped <- 41 42"},
        {{kNoon, TrafficSource::Highway, TrafficDirection::Received, hex("230000"),
          hw::pollName(hex("230523")), hw::pollVerdict(hw::HighwayTest::Answer::Bad, true)},
         "12:00:00.007 hwtest   poll unit 5      bad answer   <- 23 00 00"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(trafficLine(row.entry), row.line);
    // The frames a script compares: the arrow and the bytes, at the end of the line.
    const QRegularExpression frames(QStringLiteral("[<>-]* [0-9A-F ]*$"));
    EXPECT_EQ(frames.match(trafficLine(rows[1].entry)).captured(), "<- 06");
    EXPECT_FALSE(frames.match(trafficLine(rows[2].entry)).hasMatch());
}

TEST(TrafficLogTest, NamesAndVerdictsOfPollsAndCommands) {
    EXPECT_EQ(commandName(cmd::ReadMemory), "ReadMemory");
    EXPECT_EQ(commandName(cmd::WriteExtension4), "WriteExtension4");
    EXPECT_EQ(commandName(200), "command 200");
    EXPECT_EQ(frameCommandName(hex("FFFF02")), "ReadClock");
    EXPECT_EQ(frameCommandName(hex("FFFF")), "");
    EXPECT_EQ(hw::pollName(hw::type2Poll(QStringLiteral("A1B2C3D4E5F1"))), "poll type 2");
    EXPECT_EQ(hw::pollVerdict(hw::HighwayTest::Answer::Valid, true), "answered");
    EXPECT_EQ(hw::pollVerdict(hw::HighwayTest::Answer::None, false), "no answer");
    EXPECT_EQ(hw::pollVerdict(hw::HighwayTest::Answer::None, true), "incomplete answer");
}

// Each row: one request against the simulated logger under a fault; the lines recorded. The
// pieces of an answer are gathered into one line with the wait's verdict.
TEST(TrafficLogTest, TheRecorderGathersEachAnswerWithTheVerdictOfItsWait) {
    const QString serialSent =
        "12:00:00.007 link     ReadSerial                    -> FF FF 3B 00 00 00 00 00 00 00 49";
    const QString serialReply = "FF 3B 20 20 31 32 33 34 35 36 37 38 BE";
    enum class Call { Serial, Counter, SetClock };
    const struct {
        const char* what;
        SimFaults fault;
        Call call;
        QStringList tail; // the lines after the request's own, without time and source
    } rows[] = {
        {"a reply", {}, Call::Serial, {"ReadSerial       reply ok     <- " + serialReply}},
        {"in pieces: one line",
         {.chunkSize = 3},
         Call::Serial,
         {"ReadSerial       reply ok     <- " + serialReply}},
        {"a bad checksum",
         {.corruptCodes = {59}},
         Call::Serial,
         {"ReadSerial       checksum bad <- FF 3B 20 20 31 32 33 34 35 36 37 38 E4"}},
        {"no answer", {.silent = true}, Call::Serial, {"ReadSerial       no answer    <-"}},
        {"a short reply",
         {.dropByteCodes = {59}},
         Call::Serial,
         {"ReadSerial       reply wrong length <- FF 3B 20 20 31 32 33 34 35 36 37 38\n"}},
        {"strays in front",
         {.strayBytes = 2},
         Call::Serial,
         {"                 dropped 2 bytes (stray) !!",
          "ReadSerial       reply ok     <- 20 21 " + serialReply}},
        {"a counter reply with a bad checksum",
         {.corruptCodes = {3}},
         Call::Counter,
         {"ReadMemory       checksum bad <- FF 03 "}},
        {"ACK", {}, Call::SetClock, {"SetClock         ACK          <- 06"}},
        {"NAK", {.nakCodes = {1}}, Call::SetClock, {"SetClock         NAK          <- 15"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        Harness h;
        ASSERT_TRUE(h.ok);
        h.sim.faults() = row.fault;
        TrafficRecorder recorder;
        recorder.setClock([] { return kNoon; });
        QStringList lines;
        QObject::connect(&recorder, &TrafficRecorder::recorded,
                         [&](const TrafficEntry& e) { lines.append(trafficLine(e)); });
        recorder.watchLink(*h.link);
        ASSERT_TRUE(h.link->OpenLink());
        if (row.call == Call::Serial)
            h.link->ReadLoggerSerial();
        else if (row.call == Call::SetClock)
            h.link->WriteLoggerClock({14, 30, 26, 5, 12, 3});
        else if (h.link->SendCommand(counterRequest(1)))
            h.link->WaitReply(kCounterReplySize);
        ASSERT_EQ(lines.size(), row.tail.size() + 1) << lines.join('\n').toStdString();
        if (row.call == Call::Serial) {
            EXPECT_EQ(lines[0], serialSent);
        }
        for (qsizetype i = 0; i < row.tail.size(); ++i)
            EXPECT_TRUE((lines[i + 1] + '\n').startsWith("12:00:00.007 link     " + row.tail[i]))
                << lines[i + 1].toStdString();
    }
}

// A wait the link refuses (here: leased) waited for nothing and adds no line.
TEST(TrafficLogTest, ARefusedWaitRecordsNothing) {
    Harness h;
    ASSERT_TRUE(h.ok);
    TrafficRecorder recorder;
    int lines = 0;
    QObject::connect(&recorder, &TrafficRecorder::recorded, [&] { ++lines; });
    recorder.watchLink(*h.link);
    LinkLease lease = h.link->TakeLease(QStringLiteral("the test"));
    EXPECT_FALSE(h.link->WaitAck());
    EXPECT_FALSE(h.link->WaitRaw(1));
    EXPECT_EQ(lines, 0);
}

TEST(TrafficLogTest, TheBufferKeepsTheLastLinesCountsWhilePausedAndSavesWithCrLf) {
    TrafficLogBuffer log;
    for (int i = 0; i < TrafficLogBuffer::kDefaultCapacity + 5; ++i)
        log.append(QStringLiteral("line %1").arg(i));
    EXPECT_EQ(log.size(), 10000);
    EXPECT_EQ(log.lines().first(), "line 5");
    EXPECT_EQ(log.lines().last(), "line 10004");
    EXPECT_EQ(log.linesAfter(10003), QStringList({"line 10003", "line 10004"}));
    EXPECT_EQ(log.linesAfter(0).size(), 10000); // what rolled off is gone
    log.setPaused(true);
    log.append("while paused");
    log.append("and again");
    EXPECT_EQ(log.heldBack(), 2);
    EXPECT_EQ(log.lines().last(), "and again"); // kept, not dropped
    log.setPaused(false);
    EXPECT_EQ(log.heldBack(), 0);

    log.clear();
    EXPECT_EQ(log.size(), 0);
    EXPECT_EQ(log.appended(), 0);
    log.append("12:00:00.007 link     ReadClock                     -> FF FF 02");
    log.append("second");
    TempDir dir;
    const QString path = dir.path() + "/log.txt";
    QString error;
    ASSERT_TRUE(log.save(path, &error)) << error.toStdString();
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(),
              "12:00:00.007 link     ReadClock                     -> FF FF 02\r\nsecond\r\n");
    EXPECT_FALSE(log.save(dir.path(), &error)); // a directory: nothing written
    EXPECT_TRUE(error.startsWith(dir.path())) << error.toStdString();
}
