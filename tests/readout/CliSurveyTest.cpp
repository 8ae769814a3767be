// nodalyx-cli survey against simulated loggers served by this test's thread.
#include "CliProcess.h"
#include "LinkHarness.h"
#include "LocationStore.h"
#include "PseudoTerminals.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTimer>
#include <gtest/gtest.h>
#include <map>

using namespace nodalyx;
using namespace nodalyx::test;

namespace {

struct CliSurveyTest : ::testing::Test {
    TempDir dir;
    std::map<QString, std::unique_ptr<sim::LoggerSim>> sims;
    QHash<QString, QString> env;

    // A location whose file agrees with the simulator's defaults and its logger; serial: on a
    // pseudo-terminal as port 7.
    sim::LoggerSim& add(const QString& name, bool serial = false) {
        auto& sim = sims[name];
        sim = std::make_unique<sim::LoggerSim>();
        sim->setGrowing(false);
        sim->state().serial = "NX" + name;
        SharedState state;
        state.programDir = dir.path();
        if (serial) {
            EXPECT_TRUE(sim->openPty());
            env["NODALYX_COM7"] = sim->ptyDevice();
            state.settings.ConnType = 1;
            state.settings.Comport = 7;
        } else {
            EXPECT_TRUE(sim->listenTcp());
            pointAtTcp(state, sim->tcpPort());
        }
        holdSimulatorSettings(state.settings);
        state.settings.eSerialnumber = "NX" + name;
        ScriptedOperator op;
        EXPECT_TRUE(WriteFGR(state, name, op));
        return *sim;
    }
    // The usual sites: fine, another logger, drifted, renamed.
    void addSites() {
        add("Fine");
        add("Other").state().serial = "NX99999";
        add("Drifted").state().clockOffsetSecs = 42 * 60;
        add("Renamed").state().locationName = "Elsewhere";
    }
    CliRun run(const QStringList& args, const std::function<void(QProcess&)>& started = {}) {
        return runCli(dir.path(), QStringList{"survey"} + args, started, env);
    }
};

QJsonObject byLocation(const QString& json, const QString& name) {
    for (const QJsonValue v : QJsonDocument::fromJson(json.toUtf8()).array())
        if (v["location"] == name)
            return v.toObject();
    return {};
}

} // namespace

// Every location of the program directory, one of them silent (the one run that waits the
// full five seconds for it) and one on a serial port.
TEST_F(CliSurveyTest, JsonReportsEachLogger) {
    addSites();
    add("Silent").faults().silent = true;
    if (kHavePseudoTerminals)
        add("Serial", true);
    const CliRun r = run({"--json", "--settings"});
    EXPECT_EQ(r.exit, 1) << r.err.toStdString();
    const QJsonArray all = QJsonDocument::fromJson(r.out.toUtf8()).array();
    EXPECT_EQ(all.size(), int(sims.size()));
    const struct {
        const char* name;
        bool reached;
        QJsonValue serialMatches, drift, differences;
    } rows[] = {
        {"Fine", true, true, 0, QJsonArray{}},
        {"Other", true, false, 0, QJsonArray{"eSerialnumber"}},
        {"Drifted", true, true, 42, QJsonArray{}},
        {"Renamed", true, true, 0, QJsonArray{"LocationName"}},
        {"Silent", false, QJsonValue::Null, QJsonValue::Null, QJsonValue::Null},
        {"Serial", true, true, 0, QJsonArray{}},
    };
    for (const auto& row : rows) {
        if (!sims.count(row.name))
            continue;
        SCOPED_TRACE(row.name);
        const QJsonObject o = byLocation(r.out, row.name);
        EXPECT_EQ(o.keys().size(), 9);
        EXPECT_EQ(o["reached"], row.reached);
        EXPECT_EQ(o["serial_matches"], row.serialMatches);
        EXPECT_EQ(o["drift_minutes"], row.drift);
        EXPECT_EQ(o["differences"], row.differences);
        EXPECT_EQ(o["clock_set"], false);
        EXPECT_EQ(o["reason"].isNull(), row.reached);
        EXPECT_EQ(o["logger_clock"].isNull(), !row.reached);
    }
    EXPECT_TRUE(byLocation(r.out, "Silent")["reason"].toString().startsWith(
        "Connection with Datalogger failed"));
    EXPECT_TRUE(r.err.contains(QStringLiteral("%1 locations: %2 reached, 1 not reached, 1 with "
                                              "another serial number, 1 drifted, 2 with "
                                              "different settings")
                                   .arg(sims.size())
                                   .arg(sims.size() - 1)))
        << r.err.toStdString();
}

TEST_F(CliSurveyTest, SyncClockLeavesEveryDriftedLoggerWithinAMinute) {
    addSites();
    sims["Other"]->state().clockOffsetSecs = -90 * 60; // not the expected logger: left alone
    const CliRun r = run({"--json", "--sync-clock", "--jobs", "2"});
    EXPECT_EQ(r.exit, 3) << r.err.toStdString(); // another serial number remains
    for (const auto& [name, sim] : sims) {
        SCOPED_TRACE(name.toStdString());
        EXPECT_EQ(byLocation(r.out, name)["clock_set"], name == "Drifted");
    }
    EXPECT_LE(qAbs(sims["Drifted"]->state().clockOffsetSecs), 60);
    EXPECT_EQ(sims["Other"]->state().clockOffsetSecs, -90 * 60);
    EXPECT_TRUE(r.err.contains(", 1 clock set")) << r.err.toStdString();
    EXPECT_EQ(run({"Drifted", "Fine"}).exit, 0);
}

TEST_F(CliSurveyTest, ExitStatusOutputsAndUsage) {
    addSites();
    const struct {
        QStringList args;
        int exit;
        const char* out; // a regular expression
    } rows[] = {
        {{"Fine", "Renamed"}, 0, R"(^location +reached +serial .*\nFine +yes +NXFine +yes +)"},
        {{"Drifted"}, 3, R"(\nDrifted +yes +NXDrifted +yes +\d\d-\d\d-20\d\d  \d\d:\d\d +42 +)"},
        {{"Drifted", "--max-drift", "45"}, 0, ""},
        {{"Other"}, 3, ""},
        {{"Renamed", "--settings", "--csv"},
         3,
         "^location,reached,reason,serial,serial_matches,logger_clock,drift_minutes,differences,"
         "clock_set\nRenamed,true,,NXRenamed,true,[^,]+,0,LocationName,false\n$"},
        {{"Fine", "Nowhere"}, 1, "\nNowhere +no +- .*does not exist"},
        {{"--json", "--csv"}, 2, "^$"},
        {{"--jobs", "0"}, 2, "^$"},
        {{"--max-drift"}, 2, "^$"},
        {{"--bogus"}, 2, "^$"},
    };
    for (const auto& row : rows) {
        const CliRun r = run(row.args);
        expectCli(r, row.exit, row.out, "");
    }
    const CliRun traced = runCli(dir.path(), {"--trace", "survey", "Fine"}, {}, env);
    expectCli(traced, 2, "^$", "does not take --trace");
}

// Ctrl-C: the exchanges under way end, no further location starts, what was found is printed.
TEST_F(CliSurveyTest, InterruptPrintsWhatWasFound) {
    for (const char* name : {"A", "B", "C", "D"})
        add(name).faults().delayMs = 400;
    const CliRun r = run({"--json", "--jobs", "1"}, [](QProcess& p) {
        QTimer::singleShot(1200, &p, [&p] { sendInterrupt(p); });
    });
    EXPECT_EQ(r.exit, 1) << r.err.toStdString();
    const QJsonArray found = QJsonDocument::fromJson(r.out.toUtf8()).array();
    EXPECT_GE(found.size(), 1);
    EXPECT_LT(found.size(), 4);
    EXPECT_TRUE(r.err.contains("not surveyed (cancelled)")) << r.err.toStdString();
    EXPECT_EQ(sims["D"]->connections(), 0);
}
