// Every fault on every packet of a short download and upload, once and on every try.
#include "HighwayDownload.h"
#include "HighwayUpload.h"
#include "TransferHarness.h"

#include <gtest/gtest.h>

using namespace nodalyx;
using namespace nodalyx::test;

namespace {

enum class Fault { Silent, Nak, Crc, Pieces, Late, HangUp };
const char* const kFaultNames[] = {"silent", "nak", "crc", "pieces", "late", "hangup"};

struct Case {
    bool upload;
    const char* packet; // "code:number"
    Fault fault;
    bool everyTry;
};

// The message a given-up packet ends with; empty when the transfer goes through.
QString expectedMessage(const Case& c) {
    const bool givenUp = c.fault == Fault::HangUp || (c.everyTry && c.fault != Fault::Pieces);
    if (!givenUp)
        return {};
    const QString p = QString::fromLatin1(c.packet);
    if (c.upload)
        return p == "13:0"   ? "Error in send filename to Datalogger!"
               : p == "13:1" ? "Error in send packed size to Datalogger!"
                             : "Error in send file to Datalogger!";
    if (c.fault == Fault::HangUp)
        return "Connection broken!";
    if (p == "6:1")
        return "Data logger not responding!";
    return c.fault == Fault::Nak ? "NACK received from datalogger!"
                                 : "No response from data logger!";
}

// A broken line is sent once, a block six times, the other packets three times.
int expectedSends(const Case& c) {
    const bool block = QByteArray(c.packet) == "6:1" || QByteArray(c.packet) == "13:2";
    return c.fault == Fault::HangUp ? 1 : block ? 6 : 3;
}

struct FaultMatrixTest : ::testing::TestWithParam<Case> {};

} // namespace

TEST_P(FaultMatrixTest, OutcomeAndFilesUnharmed) {
    const Case c = GetParam();
    TransferHarness h;
    ASSERT_TRUE(h.ok);
    h.keepOld();
    h.logger.write("HW01.ini", "kept\n");
    // Late: a quarter second when once (a retry then meets it), a second when on every try.
    const int value = c.fault == Fault::Late ? (c.everyTry ? 1000 : 250) : 0;
    const QByteArray fault = QStringLiteral("%1:%2:%3:%4")
                                 .arg(QString::fromLatin1(c.packet), kFaultNames[int(c.fault)])
                                 .arg(c.everyTry ? 0 : 1)
                                 .arg(value)
                                 .toLatin1();
    SCOPED_TRACE(fault.constData());
    h.fault(fault.constData());
    TransferContext ctx = h.ctx();
    bool done = false;
    if (c.upload) {
        HighwayUpload upload(ctx);
        done = upload.UploadHW("HW01.ini");
    } else {
        done = GetFile(ctx, "HW01.ini").saved;
    }
    const QString message = expectedMessage(c);
    EXPECT_EQ(done, message.isEmpty());
    EXPECT_EQ(h.op.messages(), message.isEmpty() ? QStringList() : QStringList{message});
    if (!done) {
        EXPECT_EQ(h.sim.packetLog().count(c.packet), expectedSends(c));
    }
    EXPECT_EQ(h.local("HW01.bak"), done && !c.upload ? "old\r\n" : "older\r\n");
    EXPECT_EQ(h.local("HW01.ini"), done && !c.upload ? "kept\r\n" : "old\r\n");
    // A lost answer to the last block: the logger stored the file, the tool cannot know.
    const bool lastAnswerLost =
        QByteArray(c.packet) == "13:2" && (c.fault == Fault::Crc || c.fault == Fault::Late);
    EXPECT_EQ(h.logger.read("HW01.ini"), c.upload && (done || lastAnswerLost) ? "old\n" : "kept\n");
    EXPECT_FALSE(h.transfer->SerialIsOpen() || h.transfer->TcpIsConnected());
    h.sim.faults() = {};
    EXPECT_TRUE(h.linkWorks());
}

namespace {
std::vector<Case> allCases() {
    std::vector<Case> cases;
    const std::pair<bool, const char*> packets[] = {
        {false, "11:0"}, {false, "6:1"}, {true, "13:0"}, {true, "13:1"}, {true, "13:2"}};
    for (const auto& [upload, packet] : packets)
        for (int f = 0; f < 6; ++f)
            for (bool everyTry : {false, true})
                cases.push_back({upload, packet, Fault(f), everyTry});
    return cases;
}
} // namespace

INSTANTIATE_TEST_SUITE_P(Packets, FaultMatrixTest, ::testing::ValuesIn(allCases()));
