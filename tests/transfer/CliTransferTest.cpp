// nodalyx-cli download and upload against the simulated logger in this process.
#include "CliProcess.h"
#include "LocationStore.h"
#include "TransferHarness.h"

#include <QFile>
#include <QProcess>
#include <gtest/gtest.h>

using namespace nodalyx;
using namespace nodalyx::test;

namespace {

struct CliTransferTest : ::testing::Test {
    TransferHarness h;

    void SetUp() override {
        ASSERT_TRUE(h.ok);
        writeLocation(h.sim.tcpPort());
        h.writeLocal("HW01.ini", "local one\r\n");
        h.writeLocal("HW02.ini", "local two\r\n");
        h.logger.write("HW01.ini", "logger one\n");
        h.logger.write("HW02.ini", "logger two\n");
    }
    void writeLocation(quint16 port) {
        pointAtTcp(h.state, port);
        GeneralSettings& s = h.state.settings;
        s.LocationCode = QStringLiteral("123");
        s.Days.fill(QStringLiteral("07002200"));
        s.Interval = QStringLiteral("15");
        s.eIPaddress = s.eGateway = {"10", "0", "0", "1"};
        s.eSubnetmask = {"255", "255", "0", "0"};
        ScriptedOperator op;
        ASSERT_TRUE(WriteFGR(h.state, h.location, op)) << op.lastText().toStdString();
    }

    // onPacket runs for every packet the logger takes.
    CliRun run(const QStringList& args, int exit, const char* out, const char* err,
               const std::function<void(QProcess&)>& onPacket = {}) {
        SCOPED_TRACE(args.join(' ').toStdString());
        h.sim.clearLog();
        QMetaObject::Connection c;
        const CliRun r = runCli(h.dir.path(), args, [&](QProcess& process) {
            if (onPacket)
                c = QObject::connect(&h.sim, &sim::LoggerSim::packetRequest,
                                     [&] { onPacket(process); });
        });
        QObject::disconnect(c);
        expectCli(r, exit, out, err);
        h.sim.faults() = {};
        return r;
    }
};

} // namespace

TEST_F(CliTransferTest, DownloadBothOrOneWithTraceAndItsFailures) {
    run({"download", "Site"}, 0,
        "^HW01.ini: downloaded\nHW01.ini downloaded: 0 units; the previous file is kept as "
        "HW01.bak\nHW02.ini: downloaded\nHW02.ini downloaded: 0 units; the previous file is "
        "kept as HW02.bak\n$",
        "^nodalyx-cli: Old configurations files will be copied to .BAK\n$");
    EXPECT_EQ(h.local("HW02.ini"), "logger two\r\n");

    run({"--trace", "download", "Site", "--hw", "1"}, 0,
        "^HW01.ini: downloaded\nHW01.ini downloaded",
        R"(\d\d:\d\d:\d\d\.\d{3} transfer code 11 number 0 L1 15 L2 0 CRC BFC3 +-> 02 0B 00 00)"
        R"( 00 00 00 0F 43 3A 5C [0-9A-F ]+ BF C3\n)"
        R"([\s\S]* transfer code 11 number 0 L1 2 L2 1 CRC ok +<- 02 0B 00 00 00 00 00 02 )");
    EXPECT_EQ(h.sim.packetLog(), QStringList({"11:0", "6:1"}));

    QFile::remove(h.logger.file("HW02.ini"));
    run({"download", "Site", "--hw", "2"}, 1, "^$",
        "NACK received from datalogger!\nnodalyx-cli: error: HW02.ini was not downloaded.\n$");
}

TEST_F(CliTransferTest, UploadPrintsTheReportThenTheFinalMessage) {
    run({"upload", "Site", "--general", "--hw", "1", "--hw", "2", "--verify"}, 0,
        "^Upload locationcode OK\n[\\s\\S]*\nUpload HW01.ini OK\nUpload HW02.ini OK\n"
        "Verify OK: the logger holds every setting sent\nSend configuration to datalogger "
        "succesfuly! \\(verified\\)\n$",
        "^$");
    EXPECT_EQ(h.logger.read("HW02.ini"), "local two\n");
    EXPECT_EQ(h.sim.state().locationCode, "123");

    h.state.settings.eSerialnumber = QStringLiteral("OTHER");
    writeLocation(h.sim.tcpPort());
    run({"upload", "Site", "--hw", "2"}, 1,
        "^Nothing sent: the logger's serial number \"[^\"]*\" does not hold \"OTHER\"\n$",
        "Remote serialnumber not the same as local[\\s\\S]*location: \"OTHER\" \\[y/N\\] no "
        "\\(no terminal");
    h.fault("13:2:nak:0");
    run({"upload", "Site", "--hw", "1", "--yes"}, 1,
        "^Upload HW01.ini FAILED: [^\n]+\nSend configuration failed!\n$",
        "Error in send file to Datalogger!");
}

TEST_F(CliTransferTest, CtrlCCancelsAndUsageErrors) {
    h.fault("6:1:silent:0"); // the tool waits for block 1 when the interrupt comes
    run({"download", "Site", "--hw", "1"}, 1, "^$",
        "cancelling the transfer[\\s\\S]*The download of HW01.ini was cancelled; nothing was "
        "written.",
        [packets = 0](QProcess& p) mutable {
            if (++packets == 2)
                sendInterrupt(p);
        });
    EXPECT_EQ(h.local("HW01.ini"), "local one\r\n");
    for (const QStringList& args :
         {QStringList{"download"}, QStringList{"download", "Site", "--hw", "3"},
          QStringList{"upload", "Site", "--hw"}, QStringList{"download", "Site", "Other"},
          QStringList{"upload", "Site"}, QStringList{"download", "Site", "--general"}})
        run(args, 2, "^$", "Try 'nodalyx-cli --help'");
    run({"download", "Nowhere"}, 1, "^$", "Nowhere");
}
