// nodalyx-cli serial, clock and refresh against the simulated logger in this process.
#include "CliProcess.h"
#include "LinkHarness.h"
#include "LocationStore.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
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
        writeLocation("SN0042", sim.tcpPort());
    }

    void writeLocation(const char* serial, quint16 port) {
        SharedState state;
        state.programDir = dir.path();
        pointAtTcp(state, port);
        state.settings.eSerialnumber = QString::fromLatin1(serial);
        ScriptedOperator op;
        ASSERT_TRUE(WriteFGR(state, QStringLiteral("Site"), op)) << op.lastText().toStdString();
    }

    // Runs the tool while this process's event loop keeps the simulator answering, then checks
    // its exit status, both streams against patterns and the requests the logger had.
    CliRun run(const QStringList& args, int exit, const char* out, const char* err,
               const QList<int>& codes) {
        SCOPED_TRACE(args.join(' ').toStdString());
        sim.clearLog();
        const CliRun r = runCli(dir.path(), args);
        expectCli(r, exit, out, err);
        EXPECT_EQ(sim.requestCodes(), codes);
        EXPECT_FALSE(sim.clientConnected());
        sim.faults() = {};
        return r;
    }
};

const QList<int> kFullRead{59, 59, 3, 3};

} // namespace

// An unreachable logger: CliSettingsTest.AnUnreachableLoggerIsOneMessageForEveryCommand.
TEST_F(CliLoggerTest, SerialWithTraceFailuresExitWithOneUsageErrorsWithTwo) {
    run({"--trace", "serial", "Site"}, 0, "^SN0042\n$",
        R"(^\d\d:\d\d:\d\d\.\d{3} -> FF FF 3B 00 00 00 00 00 00 00 49\n[\s\S]* <- FF 3B 20 20 20 20 53 4E 30 30 34 32)",
        {59});
    sim.faults().corruptCodes = {3};
    run({"refresh", "Site"}, 1, "", R"(Highway 1[\s\S]*Highway 2)", kFullRead);
    writeLocation("SN0043", sim.tcpPort()); // without a terminal the question is answered No
    run({"refresh", "Site"}, 1, "^$", "Remote serialnumber not the same as local", {59, 59});
    run({"refresh", "Site", "--yes"}, 0, "Highway 2",
        R"(not the same as local[\s\S]*yes \(--yes\))", kFullRead);
    run({"serial", "Nowhere"}, 1, "^$", "Nowhere", {});
    for (const QStringList& args : {QStringList{"serial"}, QStringList{"clock", "Site", "--json"},
                                    QStringList{"refresh", "Site", "Other"}})
        run(args, 2, "^$", "", {});
}

// A location whose port is outside 1..65535 reaches no logger, not even the one whose port the
// number would wrap round to, and the error names the port.
TEST_F(CliLoggerTest, APortOutsideOneTo65535IsNamedAndNothingConnects) {
    for (const QString& port : {QString::number(sim.tcpPort() + 65536), QStringLiteral("abc")}) {
        SharedState state;
        state.programDir = dir.path();
        pointAtTcp(state, sim.tcpPort());
        state.settings.Portnumber = port;
        ScriptedOperator op;
        ASSERT_TRUE(WriteFGR(state, QStringLiteral("Site"), op));
        const QString error = "^nodalyx-cli: error: Connection with Datalogger failed: The port "
                              "number \"" +
                              port + "\" is not a number from 1 to 65535\\.\n$";
        run({"serial", "Site"}, 1, "^$", error.toUtf8().constData(), {});
    }
    EXPECT_EQ(sim.connections(), 0);
}

// The date line, then the PC's time and how far the logger's clock is off, before and after
// --set.
TEST_F(CliLoggerTest, ClockShowsTheDifferenceAndSetsItFromThePc) {
    sim.state().clockOffsetSecs = -5 * 60 - 30;
    const char* const kClock = R"(^\d\d-\d\d-\d{4}  \d\d:\d\d\nPC \d\d-\d\d-\d{4}  \d\d:\d\d  )";
    run({"clock", "Site"}, 0,
        (kClock + QString("logger clock [56] min behind the PC\n$")).toUtf8().constData(), "^$",
        {2});
    sim.state().clockOffsetSecs = -86400 * 3;
    const CliRun r = run({"clock", "Site", "--set"}, 0,
                         (kClock + QString("logger clock ")).toUtf8().constData(), "^$", {1, 2});
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
    EXPECT_EQ(highways["1"].toArray()[0].toObject()["In1"].toString(), "1234");

    r = run({"refresh", "Site"}, 0, R"(\n\s+63\s+258\s+0\s+0\s+65535\n)", "^$", kFullRead);
    EXPECT_FALSE(r.out.contains(QRegularExpression(R"(\n\s+2\s)"))); // units without counts
}

// A logger (or whatever answers in its place) that sends control characters never has them
// reach the terminal raw, and a reply without a serial number is no serial number.
TEST_F(CliLoggerTest, SerialShowsControlCharactersEscapedAndFailsWithoutANumber) {
    sim.faults().garbageCodes = {59};
    CliRun r = run({"serial", "Site"}, 0, "", "^$", {59});
    EXPECT_EQ(r.out, QStringLiteral("\\x1b[2J\\x07\\x7f\u203A\\x81\\x0d\\x0a\n"));

    const char* const kNoNumber = "^nodalyx-cli: error: The logger sent no serial number\\.\n$";
    const struct {
        const char* what;
        QString serial;
        QHash<int, int> cut;
        const char* err;
    } rows[] = {
        {"FF and the code only", "SN0042", {{59, 2}}, kNoNumber},
        {"blanks only", "          ", {}, kNoNumber},
        {"the word False", "False", {}, "^nodalyx-cli: error: Connection with Datalogger failed"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        sim.state().serial = row.serial;
        sim.faults().cutCodes = row.cut;
        run({"serial", "Site"}, 1, "^$", row.err, {59});
    }

    // The question that names the logger's number shows it escaped as well, with no control
    // character but the line break (a C0 control, DEL or a C1 control) anywhere on stderr.
    sim.state().serial = QString::fromLatin1("\x1b]0;x\x07\x01");
    r = run({"refresh", "Site"}, 1, "^$", "not the same as local", {59, 59});
    EXPECT_FALSE(r.err.contains(QRegularExpression("[\\x00-\\x09\\x0b-\\x1f\\x7f-\\x9f]")))
        << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(QStringLiteral("\"\\x1b]0;x\\x07\\x01\""))) << r.err.toStdString();
    sim.state().serial = QString::fromLatin1("\x1b]0;x\x07\x01");
    run({"serial", "Site"}, 0, "^\\\\x1b\\]0;x\\\\x07\\\\x01\n$", "^$", {59});
}
