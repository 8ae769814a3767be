// Downloads against the simulated logger: retries, messages, the backup, files kept whole.
#include "DownloadSave.h"
#include "HighwayDownload.h"
#include "HighwayFileCodec.h"
#include "TextFile.h"
#include "TransferHarness.h"

#include <gtest/gtest.h>

using namespace nodalyx;
using namespace nodalyx::test;

namespace {

struct DownloadTest : ::testing::Test {
    TransferHarness h;
    QStringList told; // what the operator learns after each file of both()
    void SetUp() override { ASSERT_TRUE(h.ok); }
    DownloadResult get(const char* file = "HW01.ini") {
        TransferContext ctx = h.ctx();
        const DownloadResult r = GetFile(ctx, QString::fromLatin1(file));
        EXPECT_FALSE(h.transfer->SerialIsOpen() || h.transfer->TcpIsConnected());
        EXPECT_EQ(h.op.busyDepth(), 0);
        return r;
    }
    HighwayDownloadOutcome both(Cancellation* cancel = nullptr,
                                std::function<void(const TransferProgress&)> progress = {}) {
        TransferContext ctx = h.ctx();
        if (progress)
            ctx.progress = progress;
        return DownloadHighwayFiles(ctx, true, true, cancel,
                                    [this](const QString& file, const DownloadResult& r) {
                                        told << downloadResultText(file, r);
                                    });
    }
    void clear() {
        h.op.clear();
        h.sim.clearLog();
        h.sim.faults() = {};
        told.clear();
    }
    int requestsOf(const char* packet) const { return int(h.sim.packetLog().count(packet)); }
};

} // namespace

TEST_F(DownloadTest, OneBlockWrittenWithCrLfAndNoBackupOfNothing) {
    h.logger.write("HW01.ini", "ab\ncd\nefgh");
    EXPECT_TRUE(get().saved); // no local file yet: the backup is skipped silently
    EXPECT_EQ(h.local("HW01.ini"), "ab\r\ncd\r\nefgh");
    EXPECT_FALSE(h.dir.exists(h.localPath("HW01.bak")));
    EXPECT_EQ(h.op.messages(), QStringList());
    EXPECT_EQ(h.sim.packetLog(), QStringList({"11:0", "6:1"}));
    EXPECT_TRUE(h.linkWorks());
}

// A modem location over TCP: both files go without the link's own requests.
TEST_F(DownloadTest, BothFilesAreToldWithTheirUnitsAndTheirBackup) {
    h.state.settings.ConnType = 3;
    h.logger.write("HW01.ini", encodeHighwayFile(1, UnitTable{}).replace("\r\n", "\n"));
    h.logger.write("HW02.ini", "[Datalogger Configuration HW02]\n\nAddress=00\nAddress=05\n"
                               "Active=1\nAddress=05\nAddress=64\nAddress=x\n");
    h.writeLocal("HW02.ini", "old two\r\n");
    EXPECT_TRUE(both().allSaved());
    EXPECT_EQ(told, QStringList({"HW01.ini downloaded: 64 units",
                                 "HW02.ini downloaded: 2 units; the previous file is kept as "
                                 "HW02.bak"}));
    EXPECT_EQ(h.local("HW02.bak"), "old two\r\n");
    EXPECT_TRUE(h.sim.requests().isEmpty()); // no request frame: the link was not opened
    EXPECT_EQ(h.op.messages(), QStringList());
}

// Header retries count on in block 1; a good block resets the count.
TEST_F(DownloadTest, HeaderRetriesCountInTheBlockPhaseAndAGoodBlockResetsTheCount) {
    h.sim.fileResponder().setBlockSize(4);
    h.logger.write("HW01.ini", "0123456789abcdefghij"); // 22 characters with CR LF: 6 blocks
    for (const char* f : {"11:0:silent:2", "6:1:nak:3", "6:2:crc:5"})
        h.fault(f);
    EXPECT_TRUE(get().saved);
    EXPECT_EQ(h.local("HW01.ini"), "0123456789abcdefghij");
    EXPECT_EQ(requestsOf("11:0"), 3);
    EXPECT_EQ(requestsOf("6:1"), 4);
    EXPECT_EQ(requestsOf("6:2"), 6);

    clear();
    h.keepOld();
    h.fault("11:0:silent:2");
    h.fault("6:1:nak:4");
    EXPECT_FALSE(get().saved);
    EXPECT_EQ(requestsOf("6:1"), 4);
    EXPECT_EQ(h.op.messages(), QStringList{"Data logger not responding!"});
    h.expectOldKept();

    clear(); // whole after block 6: the further blocks announced are not asked for
    h.fault("11:0:announce:1:22:22");
    EXPECT_TRUE(get().saved);
    EXPECT_EQ(h.sim.packetLog().size(), 7);
}

TEST_F(DownloadTest, APortTheLinkWillNotHandOverIsAFailedConnection) {
    h.logger.write("HW01.ini", "text\n");
    LinkLease other = h.link->TakeLease(QStringLiteral("the highway test"));
    ASSERT_TRUE(other);
    EXPECT_FALSE(get().saved);
    ASSERT_EQ(h.op.messages().size(), 1);
    EXPECT_TRUE(h.op.messages()[0].startsWith("Connection with Data logger failed: "));
    EXPECT_TRUE(h.op.messages()[0].contains("the highway test"));
    EXPECT_TRUE(h.sim.packets().isEmpty());
    other.release();
    EXPECT_TRUE(get().saved);
}

TEST_F(DownloadTest, CancelStopsBetweenPacketsAndKeepsTheFilesWhole) {
    h.sim.fileResponder().setBlockSize(2);
    h.logger.write("HW01.ini", "abcdefgh\n");
    h.logger.write("HW02.ini", "x\n");
    for (const bool operatorCancel : {false, true}) {
        SCOPED_TRACE(operatorCancel ? "Cancellation" : "requestCancel");
        clear();
        h.keepOld();
        Cancellation cancel;
        const HighwayDownloadOutcome outcome = both(&cancel, [&](const TransferProgress& p) {
            if (p.blocksDone == 2)
                operatorCancel ? cancel.request() : h.transfer->requestCancel();
        });
        EXPECT_TRUE(outcome.files[0].cancelled && outcome.cancelled());
        EXPECT_FALSE(outcome.tried[1]);
        EXPECT_EQ(h.sim.packetLog(), QStringList({"11:0", "6:1", "6:2"}));
        EXPECT_EQ(told, QStringList{"HW01.ini: cancelled, nothing written"});
        EXPECT_EQ(h.op.messages(),
                  QStringList{"The download of HW01.ini was cancelled; nothing was written."});
        h.expectOldKept();
        EXPECT_TRUE(h.linkWorks());
    }
}

TEST_F(DownloadTest, SavingAddsACrBeforeEachLfAndAFailedWriteIsSaidTwice) {
    EXPECT_EQ(withCrLf("ab\ncd\r\n\n"), "ab\r\ncd\r\r\n\r\n");
    // A folder in the way of the file: the write fails and the download says so twice.
    h.logger.write("HW02.ini", "two\n");
    QDir().mkpath(h.dir.file(h.localPath("HW02.ini")));
    EXPECT_FALSE(get("HW02.ini").saved);
    ASSERT_EQ(h.op.messages().size(), 2);
    EXPECT_TRUE(h.op.messages()[0].contains("HW02.ini"));
    EXPECT_EQ(h.op.messages()[1], "Error on save!");
}

// Answers the simulator never sends; blocks after the first come back empty.
TEST_F(DownloadTest, HeadersAndBlocksThatDoNotFitEndWithTheirReason) {
    RawLogger logger;
    pointAtTcp(h.state, logger.server.serverPort());
    h.keepOld();
    struct Case {
        const char* size;
        const char* blocks;
        QByteArray firstBlock;
        const char* message;
        int requests;
        quint32 wrongBy = 0; // the blocks come back under another number
        int flood = 0;       // noise behind each block
    };
    const Case cases[] = {
        {"12x", "1", "", "the size \"12x\" for HW01.ini; that is not a number of characters.", 1},
        {"12", "abc", "", "\"abc\" blocks for HW01.ini (12 characters); that is not a block", 1},
        // stops once more came than announced
        {"5", "3", "ab\ncd\nefgh\r\n", "File not complete (Size = 10)", 2},
        {"0", "0", "",
         "The logger announced HW01.ini as empty (0 characters); nothing was written.", 1},
        // every block carries at most 4096 characters
        {"8193", "2", "", "that is not a block count from 3 to 8193.", 1},
        // an empty block ends the download at once, however much more was announced
        {"1048578", "1048578", "", "block 1 of 1048578 of HW01.ini came back empty after 0 of", 2},
        // two characters announced, one came: not even the CR LF behind the text
        {"2", "1", "x", "File not complete (Size = 0)", 2},
        // the logger's bytes are shown escaped, never raw
        {"\x1b[2J\x07", "1", "", "The logger announced the size \"\\x1b[2J\\x07\" for", 1},
        {"1",
         "\x01\x02\x03\x04\x05\x06\x07\x08\x09\x0a\x0b\x0c\x0d\x0e\x0f\x10\x11\x12\x13\x14\x15", "",
         "announced \"\\x01\\x02\\x03\\x04\\x05\\x06\\x07\\x08\\x09\\x0a\\x0b\\x0c\\x0d"
         "\\x0e\\x0f\\x10\\x11\\x12\\x13\\x14...\" blocks",
         1},
        {"6", "1", "ab\r\n", "Data logger not responding!", 7, 7, 64 * 1024},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.size);
        h.op.clear();
        logger.requests = 0;
        logger.answer = [&c](const TransferPacket& p) {
            if (p.code == 11)
                return encodePacket({11, 0, c.size, c.blocks});
            const QByteArray text = p.number == 1 ? c.firstBlock : QByteArray();
            return encodePacket({11, p.number + c.wrongBy, text, {}}) + QByteArray(c.flood, 'U');
        };
        EXPECT_FALSE(get().saved);
        ASSERT_EQ(h.op.messages().size(), 1);
        EXPECT_TRUE(h.op.messages()[0].contains(c.message)) << h.op.messages()[0].toStdString();
        EXPECT_EQ(logger.requests, c.requests);
        h.expectOldKept();
    }
}

// The reader's limit (DamagedFilesTest); one byte more, announced or by an added CR, is refused.
TEST_F(DownloadTest, AHighwayFileOfTheLimitIsSavedOneByteMoreIsRefused) {
    h.sim.fileResponder().setBlockSize(4096);
    const QByteArray exact = QByteArray(kMaxTextFileSize - 2, 'x') + '\n';
    h.logger.write("HW01.ini", exact);
    EXPECT_TRUE(get().saved);
    EXPECT_EQ(h.local("HW01.ini"), withCrLf(exact));
    EXPECT_EQ(h.op.messages(), QStringList());

    const std::tuple<QByteArray, const char*, const char*> cases[] = {
        {QByteArray(kMaxTextFileSize - 1, 'x') + '\n', nullptr,
         "HW01.ini from the logger is 1048577 bytes; a highway file may hold at most 1048576 "
         "bytes."},
        {"text\n", "11:0:announce:1:1048579",
         "The logger announced HW01.ini as 1048579 bytes; a highway file may hold at most "
         "1048576 bytes."},
        {QByteArray("a\0b\n", 4), nullptr,
         "HW01.ini from the logger is not text (it holds NUL bytes); nothing was written."},
    };
    for (const auto& [text, fault, message] : cases) {
        SCOPED_TRACE(message);
        clear();
        h.keepOld();
        if (fault)
            h.fault(fault);
        h.logger.write("HW01.ini", text);
        EXPECT_FALSE(get().saved);
        EXPECT_EQ(h.op.messages(), QStringList{message});
        h.expectOldKept();
    }
}
