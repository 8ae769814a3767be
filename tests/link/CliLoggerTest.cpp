// nodalyx-cli serial, clock and refresh against the simulated logger in this process.
#include "LinkHarness.h"
#include "LocationStore.h"
#include "TempDir.h"

#include <QEventLoop>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTimer>
#include <gtest/gtest.h>

using namespace nodalyx;
using namespace nodalyx::test;

namespace {

struct CliRun {
    int exit = -1;
    QString out;
    QString err;
};

struct CliLoggerTest : ::testing::Test {
    TempDir dir;
    sim::LoggerSim sim;

    void SetUp() override {
        sim.setGrowing(false);
        ASSERT_TRUE(sim.listenTcp());
        sim.state().serial = QStringLiteral("SN0042");
        writeLocation(QStringLiteral("SN0042"), sim.tcpPort());
    }

    void writeLocation(const QString& serial, quint16 port) {
        SharedState state;
        state.programDir = dir.path();
        state.settings.ConnType = 2;
        state.settings.IPnumber = QStringLiteral("127.0.0.1");
        state.settings.Portnumber = QString::number(port);
        state.settings.eSerialnumber = serial;
        ScriptedOperator op;
        ASSERT_TRUE(WriteFGR(state, QStringLiteral("Site"), op)) << op.lastText().toStdString();
    }

    // Runs the tool while this process's event loop keeps the simulator answering.
    CliRun cli(const QStringList& args) {
        QProcess process;
        QEventLoop loop;
        QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
        QTimer::singleShot(30000, &loop, &QEventLoop::quit);
        process.setStandardInputFile(QProcess::nullDevice());
        process.start(QStringLiteral(NODALYX_CLI_PATH), QStringList{"--dir", dir.path()} + args);
        loop.exec();
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished();
            return {};
        }
        return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
                QString::fromUtf8(process.readAllStandardOutput()),
                QString::fromUtf8(process.readAllStandardError())};
    }
};

} // namespace

TEST_F(CliLoggerTest, SerialWithTrace) {
    const CliRun r = cli({"--trace", "serial", "Site"});
    EXPECT_EQ(r.exit, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, QStringLiteral("SN0042\n"));
    EXPECT_TRUE(QRegularExpression(R"(\d\d:\d\d:\d\d\.\d{3} -> FF FF 3B 00 00 00 00 00 00 00 49)")
                    .match(r.err)
                    .hasMatch())
        << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(" <- FF 3B 20 20 20 20 53 4E 30 30 34 32"));
    EXPECT_FALSE(sim.clientConnected());
}

TEST_F(CliLoggerTest, ClockSetFromThePcThenReadBack) {
    sim.state().clockOffsetSecs = -86400 * 3;
    const CliRun r = cli({"clock", "Site", "--set"});
    EXPECT_EQ(r.exit, 0) << r.err.toStdString();
    EXPECT_EQ(sim.requestCodes(), (QList<int>{1, 2}));
    EXPECT_LT(std::abs(sim.state().clockOffsetSecs), 120);
    EXPECT_TRUE(r.out.startsWith(QDate::currentDate().toString("dd-MM-yyyy") + "  "))
        << r.out.toStdString();
    EXPECT_TRUE(QRegularExpression(R"(^\d\d-\d\d-\d{4}  \d\d:\d\d\n$)").match(r.out).hasMatch());
}

TEST_F(CliLoggerTest, RefreshAsJsonAndAsTable) {
    sim.state().setCounts(2, 63, {.live1 = 1, .in1 = 258, .out2 = 65535});
    CliRun r = cli({"refresh", "Site", "--json"});
    ASSERT_EQ(r.exit, 0) << r.err.toStdString();
    const QJsonObject highways =
        QJsonDocument::fromJson(r.out.toUtf8()).object()["highways"].toObject();
    ASSERT_EQ(highways["1"].toArray().size(), 64);
    const QJsonArray hw2 = highways["2"].toArray();
    ASSERT_EQ(hw2.size(), 64);
    const QJsonObject last = hw2[63].toObject();
    EXPECT_EQ(last["Address"].toInt(), 63);
    EXPECT_EQ(last["Live1"].toString(), "1");
    EXPECT_EQ(last["In1"].toString(), "258");
    EXPECT_EQ(last["Out2"].toString(), "65535");
    EXPECT_EQ(last["In2"].toString(), "0");
    EXPECT_EQ(highways["1"].toArray()[0].toObject()["In1"].toString(), "1234");

    r = cli({"refresh", "Site"});
    ASSERT_EQ(r.exit, 0);
    EXPECT_TRUE(r.out.contains(QRegularExpression(R"(\n\s+63\s+258\s+0\s+0\s+65535\n)")))
        << r.out.toStdString();
    EXPECT_FALSE(r.out.contains(QRegularExpression(R"(\n\s+2\s)"))); // units without counts
}

TEST_F(CliLoggerTest, MismatchIsAnsweredNoWithoutATerminalAndYesWithTheSwitch) {
    writeLocation(QStringLiteral("SN0043"), sim.tcpPort());
    CliRun r = cli({"refresh", "Site"});
    EXPECT_EQ(r.exit, 1);
    EXPECT_TRUE(r.out.isEmpty());
    EXPECT_TRUE(r.err.contains("Remote serialnumber not the same as local"));
    EXPECT_EQ(sim.requestCodes(), (QList<int>{59, 59}));
    r = cli({"refresh", "Site", "--yes"});
    EXPECT_EQ(r.exit, 0);
    EXPECT_TRUE(r.out.contains("Highway 2"));
}

TEST_F(CliLoggerTest, NoLoggerOrBadReplyFails) {
    sim.faults().corruptCodes = {3};
    CliRun r = cli({"refresh", "Site"});
    EXPECT_EQ(r.exit, 1);
    EXPECT_TRUE(r.err.contains("Highway 1")) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("Highway 2"));

    sim.faults() = {};
    sim.faults().nakCodes = {59};
    r = cli({"serial", "Site"}); // a NAK is no serial reply: the full 5 s, then the message
    EXPECT_EQ(r.exit, 1);
    EXPECT_TRUE(r.out.isEmpty());
    EXPECT_TRUE(r.err.contains("Connection with Datalogger failed"));

    QTcpServer probe;
    ASSERT_TRUE(probe.listen(QHostAddress::LocalHost));
    writeLocation(QStringLiteral("SN0042"), probe.serverPort());
    probe.close();
    r = cli({"clock", "Site"});
    EXPECT_EQ(r.exit, 1);
    EXPECT_TRUE(r.err.contains("Connection with Datalogger failed"));
}

TEST_F(CliLoggerTest, UsageAndMissingLocation) {
    EXPECT_EQ(cli({"serial"}).exit, 2);
    EXPECT_EQ(cli({"clock", "Site", "--json"}).exit, 2);
    EXPECT_EQ(cli({"refresh", "Site", "Other"}).exit, 2);
    const CliRun r = cli({"serial", "Nowhere"});
    EXPECT_EQ(r.exit, 1);
    EXPECT_TRUE(r.err.contains("Nowhere"));
    EXPECT_TRUE(sim.requests().isEmpty());
}
