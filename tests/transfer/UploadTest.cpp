// Highway uploads against the simulated logger, in the upload sequence and round trip.
#include "HighwayDownload.h"
#include "HighwayFileCodec.h"
#include "HighwayFileStep.h"
#include "PseudoTerminals.h"
#include "TransferHarness.h"

#include <gtest/gtest.h>

using namespace nodalyx;
using namespace nodalyx::test;

namespace {

struct UploadTest : ::testing::Test {
    TransferHarness h;
    TransferContext ctx = h.ctx();
    HighwayUpload upload{ctx};
    void SetUp() override {
        ASSERT_TRUE(h.ok);
        h.logger.write("HW01.ini", "kept\n"); // what the logger holds before
    }
    bool send(const char* file = "HW01.ini") {
        const bool ok = upload.UploadHW(QString::fromLatin1(file));
        EXPECT_FALSE(h.transfer->SerialIsOpen() || h.transfer->TcpIsConnected());
        return ok;
    }
    int sendsOf(const char* packet) const { return int(h.sim.packetLog().count(packet)); }
    UploadOutcome sequence(bool hw1, bool hw2) {
        h.state.locationName = h.location;
        HighwayFileStep files(h.state, *h.link, *h.transfer, h.op, ctx.progress);
        return UploadConfiguration(h.state, *h.link, h.op, {false, hw1, hw2}, files.step(),
                                   [](const QString&) {});
    }
};

} // namespace

TEST(UploadBlocksTest, TheTextLineByLineAndItsBlocksOf238) {
    const std::pair<QByteArray, QByteArray> texts[] = {
        {"", ""},
        {"a\r\nb\r\n", "a\nb\n"},
        {"a\r\nb", "a\nb\n"},
        {"a\rb\n", "a\rb\n"},
        {"a\nb\n", "a\nb\n"},
    };
    for (const auto& [file, text] : texts)
        EXPECT_EQ(uploadText(file), text) << file.toStdString();
    const std::tuple<int, qint16, int> splits[] = {
        {0, 2, 0}, {237, 2, 237}, {238, 3, 0}, {239, 3, 1}};   // length, last, its size
    for (const auto& [length, lastBlock, lastSize] : splits) { // the bytes: RoundTripTest
        const UploadBlocks b = splitUploadText(QByteArray(length, 'x'));
        EXPECT_EQ(b.lastBlock, lastBlock) << length;
        EXPECT_EQ(b.blocks.value(lastBlock).size(), lastSize) << length;
    }
}

TEST_F(UploadTest, AMultipleOf238SendsItsEmptyLastBlock) {
    const QByteArray line = QByteArray(237, 'y') + "\r\n"; // 238 characters of text
    h.writeLocal("HW01.ini", line + line);
    EXPECT_TRUE(send());
    EXPECT_EQ(h.sim.packetLog(), QStringList({"13:0", "13:1", "13:2", "13:3", "13:4"}));
    EXPECT_EQ(h.sim.packets()[0].text1, "c:\\nvq\\HW01.ini");
    EXPECT_EQ(h.sim.packets()[1].text1 + ' ' + h.sim.packets()[1].text2, "476 4");
    EXPECT_EQ(h.logger.read("HW01.ini"), uploadText(line + line));
}

TEST_F(UploadTest, TheNameAcknowledgedOnItsThirdSendLeavesTheSizeOneAttempt) {
    h.writeLocal("HW01.ini", "data\r\n");
    h.fault("13:0:nak:2");
    h.fault("13:1:nak:1");
    EXPECT_FALSE(send());
    EXPECT_EQ(sendsOf("13:0"), 3);
    EXPECT_EQ(sendsOf("13:1"), 1);
    EXPECT_EQ(h.op.messages(), QStringList{"Error in send packed size to Datalogger!"});
}

// Block 2's answer comes after its resend; block 3 is never answered: the stray answer to
// block 2 must not acknowledge it.
TEST_F(UploadTest, ALateAckNeverAcknowledgesTheNextBlock) {
    h.writeLocal("HW01.ini", QByteArray(300, 'z') + "\r\n"); // blocks 2 and 3
    int dropped = 0;
    QObject::connect(h.transfer.get(), &FileTransferLink::traced, [&](const PacketTrace& t) {
        dropped += t.verdict.contains("dropped") ? 1 : 0;
    });
    h.fault("13:2:late:1:250");
    h.fault("13:3:silent:0");
    EXPECT_FALSE(send());
    EXPECT_GE(dropped, 1);
}

TEST_F(UploadTest, AFileThatCannotBeReadSendsNothingNotEvenTheFileReadBefore) {
    h.writeLocal("HW01.ini", "first\r\n");
    bool ok = false;
    EXPECT_EQ(upload.ReadFile(h.dir.file(h.localPath("HW01.ini")), &ok), 6);
    EXPECT_TRUE(ok);
    EXPECT_EQ(upload.ReadFile({}, &ok), 0);
    EXPECT_FALSE(send("HW02.ini")); // there is no HW02.ini
    EXPECT_TRUE(h.sim.packets().isEmpty());
    ASSERT_EQ(h.op.messages().size(), 1);
    EXPECT_TRUE(h.op.messages()[0].contains("HW02.ini"));
    EXPECT_EQ(upload.FileBlocks().value(2), "first\n"); // the earlier file's blocks stay
}

TEST_F(UploadTest, CancelStopsBeforeTheNextPacketAndEndsTheSequence) {
    h.writeLocal("HW01.ini", QByteArray(600, 'c') + "\r\n"); // blocks 2..4
    h.writeLocal("HW02.ini", "two\r\n");
    ctx.progress = [this](const TransferProgress& p) {
        if (p.value == 3)
            h.transfer->requestCancel();
    };
    const UploadOutcome outcome = sequence(true, true);
    EXPECT_FALSE(outcome.ok);
    EXPECT_EQ(outcome.finalMessage, "Send configuration failed!");
    EXPECT_EQ(h.sim.packetLog(), QStringList({"13:0", "13:1", "13:2"})); // HW02 never sent
    EXPECT_EQ(h.op.messages(),
              QStringList({"The upload of HW01.ini was cancelled before packet 3 of 4; the "
                           "logger has not stored it."}));
    EXPECT_EQ(h.logger.read("HW01.ini"), "kept\n");
}

// Windows-1252 names come back byte for byte, over TCP and the pseudo-terminal.
TEST(RoundTripTest, UploadThenDownloadGivesBackTheSameBytes) {
    for (const bool serial : tcpAndSerial()) {
        SCOPED_TRACE(serial ? "serial" : "tcp");
        TransferHarness h(serial);
        ASSERT_TRUE(h.ok);
        h.sim.fileResponder().setBlockSize(1000);
        UnitTable table{};
        table[1].Active = true;
        table[1].Name1 = QString::fromLatin1("Caf\xE9 \xD6stlich \xFF");
        table[64].To4 = QString::fromLatin1("Stra\xDF"
                                            "e");
        const QByteArray file = encodeHighwayFile(2, table);
        ASSERT_TRUE(file.contains('\xE9'));
        h.writeLocal("HW02.ini", file);
        TransferContext ctx = h.ctx();
        HighwayUpload upload(ctx);
        ASSERT_TRUE(upload.UploadHW("HW02.ini"));
        h.writeLocal("HW02.ini", "something else\r\n");
        EXPECT_TRUE(GetFile(ctx, "HW02.ini").saved);
        EXPECT_EQ(h.local("HW02.ini"), file);
        EXPECT_EQ(h.local("HW02.bak"), "something else\r\n");
        EXPECT_EQ(h.op.messages(), QStringList());
        EXPECT_TRUE(h.linkWorks());
    }
}
