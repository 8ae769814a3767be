// nodalyx-cli settings and the clock's drift line against the simulated logger in this process.
#include "CliProcess.h"
#include "LinkHarness.h"
#include "LocationStore.h"
#include "ReadoutFixtures.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <gtest/gtest.h>

using namespace nodalyx;
using namespace nodalyx::test;

namespace {

struct CliSettingsTest : ::testing::Test {
    TempDir dir;
    sim::LoggerSim sim;
    QString out, err;

    void SetUp() override {
        sim.setGrowing(false);
        ASSERT_TRUE(sim.listenTcp());
        writeLocation(sim.tcpPort());
    }
    void writeLocation(quint16 port) {
        SharedState state;
        state.programDir = dir.path();
        pointAtTcp(state, port);
        holdSimulatorSettings(state.settings);
        state.settings.LocationName = "Shop";
        state.settings.eSerialnumber = "12345678";
        ScriptedOperator op;
        ASSERT_TRUE(WriteFGR(state, "Site", op)) << op.lastText().toStdString();
    }
    // Runs the tool while this process's event loop keeps the simulator answering.
    int run(const QStringList& args, const QList<int>& codes = kReadoutCodes) {
        SCOPED_TRACE(args.join(' ').toStdString());
        sim.clearLog();
        const CliRun r = runCli(dir.path(), args);
        out = r.out;
        err = r.err;
        EXPECT_EQ(sim.requestCodes(), codes);
        return r.exit;
    }
};

} // namespace

TEST_F(CliSettingsTest, PrintsTheControlsAsLinesOrOneJsonObject) {
    sim.state().port = 32768;
    ASSERT_EQ(run({"--trace", "settings", "Site"}), 0) << err.toStdString();
    for (const char* line :
         {"\nLocation Name:       Simulator \n", "\nMonday:              07:00 - 22:00\n",
          "\nPort number:         32768\n"})
        EXPECT_TRUE(out.contains(line)) << line << out.toStdString();
    EXPECT_TRUE(
        QRegularExpression(R"(\nDate/Time logger:    \d\d-\d\d-20\d\d  \d\d:\d\d  \(logger )")
            .match(out)
            .hasMatch())
        << out.toStdString();
    EXPECT_TRUE(err.contains("-> FF FF 65 00 00 00 00 00 00 00 17\n")) << err.toStdString();

    ASSERT_EQ(run({"settings", "Site", "--json"}), 0) << err.toStdString();
    const QJsonObject json = QJsonDocument::fromJson(out.toUtf8()).object();
    EXPECT_EQ(json.keys().size(), 19);
    EXPECT_EQ(json["txtStop"].toArray()[0], "22:00");
    EXPECT_EQ(json["txtCode"], "SIM01     ");

    // A logger that hangs up half-way: what was not read keeps the location's values (the MAC
    // address box starts empty), a warning names it and the exit status is 1.
    sim.faults().closeCodes = {57};
    ASSERT_EQ(run({"settings", "Site", "--json"}, kReadoutCodes.mid(0, 22)), 1);
    const QJsonObject partial = QJsonDocument::fromJson(out.toUtf8()).object();
    EXPECT_EQ(partial["txtMacAddress"].toArray().toVariantList(), QVariantList(6, ""));
    EXPECT_EQ(partial["txtPortNumber"], "32768"); // read before the hang-up
    EXPECT_TRUE(err.contains("MAC address, Host name, Serial number")) << err.toStdString();
}

TEST_F(CliSettingsTest, DiffNamesTheDifferencesAndSaveStoresTheReadOut) {
    const QByteArray original = dir.read("Site.fgr");
    sim.state().setDayWindow(2, 7, 30, 22, 0);
    EXPECT_EQ(run({"settings", "Site", "--diff"}), 3);
    EXPECT_EQ(out, "LocationName: location \"Shop\" logger \"Simulator\"\n"
                   "Monday: location \"07002200\" logger \"07302200\"\n");
    EXPECT_EQ(dir.read("Site.fgr"), original); // nothing written without --save
    EXPECT_FALSE(dir.exists("Site.bak"));

    EXPECT_EQ(run({"settings", "Site", "--save"}), 0) << err.toStdString();
    EXPECT_EQ(dir.read("Site.bak"), original);
    EXPECT_TRUE(dir.read("Site.fgr").contains("\r\nMonday=07302200\r\n"));
    EXPECT_EQ(run({"settings", "Site", "--diff"}), 0);
    EXPECT_EQ(out, "");
}

TEST_F(CliSettingsTest, UsageErrors) {
    for (const QStringList& args : {QStringList{"settings"}, {"settings", "Site", "Other"}})
        EXPECT_EQ(run(args, {}), 2);
    EXPECT_EQ(run({"settings", "Nowhere"}, {}), 1);
}

// Each logger command and how its message names the logger.
const std::pair<const char*, const char*> kLoggerCommands[] = {{"settings", "Data logger"},
                                                               {"refresh", "Datalogger"},
                                                               {"clock", "Datalogger"},
                                                               {"serial", "Datalogger"},
                                                               {"download", "Data logger"}};

// A logger that cannot be reached costs every logger command one message on stderr, naming
// where and why (the download's notice about the backups aside).
TEST_F(CliSettingsTest, AnUnreachableLoggerIsOneMessageForEveryCommand) {
    const quint16 refused = closedPort();
    writeLocation(refused);
    for (const auto& [command, logger] : kLoggerCommands) {
        SCOPED_TRACE(command);
        const CliRun r = runCli(dir.path(), {command, "Site"});
        EXPECT_EQ(r.exit, 1);
        EXPECT_EQ(r.out, "");
        QStringList told = r.err.split("nodalyx-cli: ", Qt::SkipEmptyParts);
        told.removeIf([](const QString& m) { return m.startsWith("Old configurations"); });
        ASSERT_EQ(told.size(), 1) << r.err.toStdString();
        EXPECT_EQ(told[0], QString("error: Connection with %1 failed: 127.0.0.1:%2: connection "
                                   "refused\n")
                               .arg(logger)
                               .arg(refused));
    }
}

// Ctrl-C stops the read-out after the query under way: nothing printed, nothing saved.
TEST_F(CliSettingsTest, CtrlCCancelsTheReadOut) {
    const QByteArray original = dir.read("Site.fgr");
    sim.faults().delayMs = 50;
    sim.clearLog();
    QMetaObject::Connection c;
    const CliRun r = runCli(dir.path(), {"settings", "Site", "--save"}, [&](QProcess& p) {
        c = QObject::connect(&sim, &sim::LoggerSim::request, [&p, frames = 0]() mutable {
            if (++frames == 3)
                sendInterrupt(p);
        });
    });
    QObject::disconnect(c);
    EXPECT_EQ(r.exit, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_TRUE(r.err.contains("cancelling the read-out")) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("The read-out was cancelled; nothing was printed or saved."))
        << r.err.toStdString();
    EXPECT_LE(sim.requests().size(), 4); // the query under way, perhaps one more sent before
    EXPECT_EQ(dir.read("Site.fgr"), original);
}

// Control characters in the logger's texts reach the terminal as \xNN, in every form of the
// output; what is saved is what the logger sent.
TEST_F(CliSettingsTest, ControlCharactersFromTheLoggerAreShownEscaped) {
    // A character the terminal would act on or show as nothing: a control other than the line
    // break, DEL, or a C1 control.
    const QRegularExpression raw("[\\x00-\\x09\\x0b-\\x1f\\x7f-\\x9f]");
    sim.state().locationCode = QString::fromLatin1("A\x1b[2J\x01");
    sim.state().hostname = QString::fromLatin1("H\x07\x7f\x9b\x81X");
    const QString host = QStringLiteral("H\\x07\\x7f\u203A\\x81X");
    const QByteArray original = dir.read("Site.fgr");
    // {arguments, exit status, what stdout holds}; --save refuses a control character.
    const std::tuple<QStringList, int, QString> rows[] = {
        {{"settings", "Site"}, 0, "\nHost name:           " + host + "\n"},
        {{"settings", "Site", "--json"}, 0, R"("txtCode": "A\\x1b[2J\\x01    ")"},
        {{"settings", "Site", "--diff", "--json"}, 3, ""},
        {{"settings", "Site", "--diff"},
         3,
         R"(LocationCode: location "SIM01" logger "A\x1b[2J\x01")"},
        {{"settings", "Site", "--save"}, 1, ""}};
    for (const auto& [args, exit, shown] : rows) {
        EXPECT_EQ(run(args), exit) << err.toStdString();
        EXPECT_FALSE(out.contains(raw) || err.contains(raw))
            << out.toStdString() << err.toStdString();
        EXPECT_TRUE(out.contains(shown)) << out.toStdString();
    }
    EXPECT_EQ(dir.read("Site.fgr"), original);

    // A location file that holds one (written by another tool) is refused when read; the
    // message names the line without the raw character.
    dir.write("Site.fgr",
              QByteArray(original).replace("LocationCode=SIM01", "LocationCode=A\x1b[2J\x01"));
    EXPECT_EQ(run({"show", "Site"}, {}), 1);
    EXPECT_FALSE(err.contains(raw)) << err.toStdString();
    dir.write("Site.fgr", original);

    // The same with every byte a terminal must not see, in every text the logger sends.
    sim.faults().garbageCodes = {101, 103, 105, 107, 109, 111, 113, 63, 59};
    EXPECT_EQ(run({"settings", "Site"}), 0) << err.toStdString();
    EXPECT_FALSE(out.contains(raw) || err.contains(raw)) << out.toStdString() << err.toStdString();
}
