// nodalyx-cli hwtest against simulated units in this process.
#include "../app/AppFixture.h"
#include "CliProcess.h"
#include "HighwayHarness.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTimer>
#include <gtest/gtest.h>

#ifdef Q_OS_UNIX
#endif

using namespace nodalyx;
using namespace nodalyx::test;

namespace {

struct CliHwtest : AppFixture {
    sim::UnitHighwaySim sim;
    const QStringList site{"hwtest", "Site", "--hw", "2", "--comport", "6"}; // the units

    void SetUp() override {
        sim.setConfig(twoUnits());
        ASSERT_TRUE(sim.openPty());
        writeLocation("Site", twoUnitSite);
    }

    // The tool, while this process's event loop keeps the units answering.
    CliRun run(const QStringList& args, const std::function<void(QProcess&)>& during = {}) {
        return runCli(dir.path(), args, during, {{"NODALYX_COM6", sim.ptyDevice()}});
    }
};

} // namespace

TEST_F(CliHwtest, PrintsTheListOfTheActiveUnitsAfterThePasses) {
    const CliRun r = run(site + QStringList{"--passes", "2"});
    expectCli(r, 0, "", "^$");
    EXPECT_EQ(r.out.toStdString(),
              "Addr Active Location   Addres Code    TX RX  C1  C2 C3 C4 In Out In Out CC1 CC2 "
              "CC3 CC4\n"
              "00   Yes    Door                       1  2 100 200  7  9  0   0  0   0 100 200 "
              "  0   0\n"
              "05   Yes    Hall\\North A1B2-C3D4-E5F1  1  2  10  20 30 40  0   0  0   0  10  20 "
              " 30  40\n");
}

// JSON on stdout, the traffic with time stamps on stderr.
TEST_F(CliHwtest, JsonAndTrace) {
    const CliRun r = run(QStringList{"--trace"} + site + QStringList{"--json"});
    const QJsonArray rows = QJsonDocument::fromJson(r.out.toUtf8()).object()["rows"].toArray();
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(QJsonDocument(rows[1].toObject()).toJson(QJsonDocument::Compact).toStdString(),
              R"({"Addr":"05","C1":10,"C2":20,"C3":30,"C4":40,"CC1":10,"CC2":20,"CC3":30,"CC4":40,)"
              R"("Count1":0,"Count2":0,"Count3":0,"Count4":0,"RX":1,"TX":0,"row":6})");
    for (const char* line : {"poll type 2 +-> FF FF 05 A1 B2 C3 D4 E5 F1 01",
                             "poll unit 0 +-> 23 00 23$", "poll unit 0 +answered +<- 23 00 00 "})
        expectCli(r, 0, "",
                  (QByteArray("(?m)^\\d\\d:\\d\\d:\\d\\d\\.\\d{3} hwtest +") + line).constData());
}

#ifdef Q_OS_UNIX
TEST_F(CliHwtest, CtrlCStopsAfterTheRunningPassAndPrintsTheList) {
    int polls = 0;
    const CliRun r = run(site + QStringList{"--passes", "0"}, [&](QProcess& p) {
        QObject::connect(&sim, &sim::UnitHighwaySim::polled, &p, [&] {
            if (++polls == 3) // in the second pass
                sendInterrupt(p);
        });
    });
    expectCli(r, 0, "\n05 +Yes +Hall\\\\North +A1B2-C3D4-E5F1 +1 +2 ",
              "^nodalyx-cli: stopping after this pass\n$");
    EXPECT_EQ(sim.polls().size(), 4); // the second pass completed
}
#endif

// A highway lost during the run ends it with exit 1, the list of what was read printed.
TEST_F(CliHwtest, ALostDeviceEndsTheRunWithTheListAndExit1) {
    // The first answer is on its way: the cable comes out.
    QObject::connect(
        &sim, &sim::UnitHighwaySim::answered, &sim,
        [this] { QTimer::singleShot(50, &sim, [this] { sim.closePty(); }); },
        Qt::SingleShotConnection);
    expectCli(run(site + QStringList{"--passes", "3"}), 1, "\n00 +Yes +Door +0 +1 +100 ", "");
}

TEST_F(CliHwtest, FailuresAndUsageErrors) {
    const QStringList hw1{"hwtest", "Site", "--hw", "1"}, nowhere{"hwtest", "Nowhere", "--hw", "1"};
    expectFailures(
        {
            {nowhere + site.mid(4), 1, "error: The location \"Nowhere\" does not exist in "},
            {hw1 + QStringList{"--comport", "16"}, 1,
             "error: Cannot open serial port /dev/ttyS15: "},
            {{"hwtest", "Site", "--comport", "6"}, 2, "hwtest needs --hw 1 or --hw 2\n"},
            {hw1, 2, "hwtest needs --comport N\n"},
            {{"hwtest", "--hw", "1", "--comport", "6"}, 2, "hwtest needs a LOCATION\n"},
            {hw1 + QStringList{"--comport", "x"}, 2,
             "hwtest: --comport needs a port number 1..255, not 'x'\n"},
            {hw1 + QStringList{"Other"}, 2, "hwtest: unexpected 'Other'\n"},
            {{"hwtest", "Site", "--hw"}, 2, "hwtest: --hw needs a value\n"},
        },
        [this](const QStringList& args) { return run(args); });
    EXPECT_TRUE(sim.polls().isEmpty());
}
