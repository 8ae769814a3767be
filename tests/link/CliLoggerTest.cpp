// nodalyx-cli serial, clock and refresh against the simulated logger in this process.
#include "CliProcess.h"
#include "LinkHarness.h"
#include "LocationStore.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

using namespace nodalyx;
using namespace nodalyx::test;

namespace {

struct CliLoggerTest : ::testing::Test {
    TempDir dir;
    sim::LoggerSim sim;

    void SetUp() override {
        sim.setGrowing(false);
        ASSERT_TRUE(sim.listenTcp());
        sim.state().serial = QStringLiteral("SN0042");
        writeLocation("SN0042");
    }
    void writeLocation(const char* serial) {
        SharedState state;
        state.programDir = dir.path();
        pointAtTcp(state, sim.tcpPort());
        state.settings.eSerialnumber = QString::fromLatin1(serial);
        ScriptedOperator op;
        ASSERT_TRUE(WriteFGR(state, QStringLiteral("Site"), op)) << op.lastText().toStdString();
    }
    // The exit status, both streams against patterns and the requests the logger had.
    CliRun run(const QStringList& args, int exit, const QString& out, const char* err,
               const QList<int>& codes) {
        SCOPED_TRACE(args.join(' ').toStdString());
        sim.clearLog();
        const CliRun r = runCli(dir.path(), args);
        expectCli(r, exit, out.toUtf8().constData(), err);
        EXPECT_EQ(sim.requestCodes(), codes);
        EXPECT_FALSE(sim.clientConnected());
        sim.faults() = {};
        return r;
    }
};

const QList<int> kFullRead{59, 59, 3, 3};

} // namespace

TEST_F(CliLoggerTest, SerialWithTraceFailuresExitWithOneUsageErrorsWithTwo) {
    run({"--trace", "serial", "Site"}, 0, "^SN0042\n$",
        R"(^\d\d:\d\d:\d\d\.\d{3} link +ReadSerial +-> FF FF 3B 00 00 00 00 00 00 00 49\n)"
        R"(\d\d:\d\d:\d\d\.\d{3} link +ReadSerial +reply ok +<- FF 3B 20 20 20 20 53 4E 30 30 34 32 AD\n$)",
        {59});
    sim.faults().corruptCodes = {3};
    run({"refresh", "Site"}, 1, "", R"(Highway 1[\s\S]*Highway 2)", kFullRead);
    writeLocation("SN0043"); // without a terminal the question is answered No
    run({"refresh", "Site"}, 1, "^$", "Remote serialnumber not the same as local", {59, 59});
    run({"refresh", "Site", "--yes"}, 0, "Highway 2",
        R"(not the same as local[\s\S]*yes \(--yes\))", kFullRead);
    for (const QStringList& args : {QStringList{"serial"}, QStringList{"clock", "Site", "--json"},
                                    QStringList{"refresh", "Site", "Other"}})
        run(args, 2, "^$", "", {});
}

// The date line, then the PC's time and how far the logger's clock is off; --set sets it.
TEST_F(CliLoggerTest, ClockShowsTheDifferenceAndSetsItFromThePc) {
    const QString clock = R"(^\d\d-\d\d-\d{4}  \d\d:\d\d\nPC \d\d-\d\d-\d{4}  \d\d:\d\d  )";
    sim.state().clockOffsetSecs = -5 * 60 - 30;
    run({"clock", "Site"}, 0, clock + "logger clock [56] min behind the PC\n$", "^$", {2});
    sim.state().clockOffsetSecs = -86400 * 3;
    const CliRun r = run({"clock", "Site", "--set"}, 0, clock + "logger clock ", "^$", {1, 2});
    EXPECT_LT(std::abs(sim.state().clockOffsetSecs), 120);
    EXPECT_TRUE(r.out.startsWith(QDate::currentDate().toString("dd-MM-yyyy") + "  "))
        << r.out.toStdString();
}

TEST_F(CliLoggerTest, RefreshAsJsonAndAsTable) {
    sim.state().setCounts(2, 63, {.live1 = 1, .in1 = 258, .out2 = 65535});
    CliRun r = run({"refresh", "Site", "--json"}, 0, "", "^$", kFullRead);
    const QJsonObject highways =
        QJsonDocument::fromJson(r.out.toUtf8()).object()["highways"].toObject();
    ASSERT_EQ(highways["1"].toArray().size(), 64);
    ASSERT_EQ(highways["2"].toArray().size(), 64);
    EXPECT_EQ(
        QJsonDocument(highways["2"].toArray()[63].toObject()).toJson(QJsonDocument::Compact),
        R"({"Address":63,"In1":"258","In2":"0","Live1":"1","Live2":"0","Out1":"0","Out2":"65535"})");
    r = run({"refresh", "Site"}, 0, R"(\n\s+63\s+258\s+0\s+0\s+65535\n)", "^$", kFullRead);
    EXPECT_FALSE(r.out.contains(QRegularExpression(R"(\n\s+2\s)"))); // units without counts
}

// Control characters a logger sends never reach the terminal raw, and a reply without a serial
// number is no serial number.
TEST_F(CliLoggerTest, SerialShowsControlCharactersEscapedAndFailsWithoutANumber) {
    sim.faults().garbageCodes = {59};
    CliRun r = run({"serial", "Site"}, 0, "", "^$", {59});
    EXPECT_EQ(r.out, QStringLiteral("\\x1b[2J\\x07\\x7f\u203A\\x81\\x0d\\x0a\n"));

    const char* const kNoNumber = "^nodalyx-cli: error: The logger sent no serial number\\.\n$";
    const struct {
        QString serial;
        QHash<int, int> cut;
        const char* err;
    } rows[] = {
        {"SN0042", {{59, 2}}, kNoNumber}, // FF and the code only
        {"          ", {}, kNoNumber},
        {"False", {}, "^nodalyx-cli: error: Connection with Datalogger failed"},
    };
    for (const auto& row : rows) {
        sim.state().serial = row.serial;
        sim.faults().cutCodes = row.cut;
        run({"serial", "Site"}, 1, "^$", row.err, {59});
    }

    // The refresh question names the logger's number escaped as well.
    sim.state().serial = QString::fromLatin1("\x1b]0;x\x07\x01");
    r = run({"refresh", "Site"}, 1, "^$", "not the same as local", {59, 59});
    EXPECT_FALSE(r.err.contains(QRegularExpression("[\\x00-\\x09\\x0b-\\x1f\\x7f-\\x9f]")))
        << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(QStringLiteral("\"\\x1b]0;x\\x07\\x01\""))) << r.err.toStdString();
}
