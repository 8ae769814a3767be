// nodalyx-cli monitor against the simulated logger in this process.
#include "CliProcess.h"
#include "HighwayStore.h"
#include "LinkHarness.h"
#include "LocationStore.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

using namespace nodalyx;
using namespace nodalyx::test;
using Counts = sim::LoggerState::Counts;

namespace {

struct CliMonitorTest : ::testing::Test {
    TempDir dir;
    sim::LoggerSim sim;

    void SetUp() override {
        sim.setGrowing(false);
        ASSERT_TRUE(sim.listenTcp());
        SharedState state;
        state.programDir = dir.path();
        pointAtTcp(state, sim.tcpPort());
        state.HW1Unit[4].Active = true; // address 3
        state.HW1Unit[4].Name1 = QStringLiteral("Hall, east");
        ScriptedOperator op;
        ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("Site")));
        ASSERT_TRUE(WriteFGR(state, QStringLiteral("Site"), op) &&
                    WriteHighway(state, 1, QStringLiteral("Site"), op) &&
                    WriteHighway(state, 2, QStringLiteral("Site"), op))
            << op.lastText().toStdString();
        sim.state().setCounts(1, 3, Counts{.in1 = 65534, .out1 = 7});
        // Each read of highway 2 (the second request of a read) moves the counter on by 3.
        QObject::connect(&sim, &sim::LoggerSim::replied, &sim, [this](const QByteArray&) {
            const QList<int> codes = sim.requestCodes();
            if (!codes.isEmpty() && codes.last() == 3 && codes.count(3) % 2 == 0)
                sim.state().setCounts(1, 3,
                                      Counts{.in1 = quint16(65534 + 3 * ++m_steps), .out1 = 7});
        });
    }
    QString file(const char* name) const { return dir.path() + QLatin1Char('/') + name; }
    int m_steps = 0;
};

const char* const kHeader = "time,highway,address,location,channel,in,out,in_change,out_change";

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

TEST_F(CliMonitorTest, CountReadsIntoTheCsvFileWithTheChangeAcrossTheWrap) {
    const CliRun r =
        runCli(dir.path(), {"monitor", "Site", "--count", "3", "--csv", file("r.csv")});
    expectCli(r, 0, "^$", "^$");
    const QList<QByteArray> lines = readAll(file("r.csv")).split('\n');
    ASSERT_EQ(lines.size(), 5) << readAll(file("r.csv")).toStdString(); // header, 3 rows, ""
    EXPECT_EQ(lines[0], QByteArray(kHeader) + '\r');
    const QRegularExpression row(
        R"(^\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d(Z|[+-]\d\d:\d\d),1,3,"Hall, east",1,(\d+),7,(\d+),0\r$)");
    const QList<std::pair<int, int>> expected{{65534, 0}, {1, 3}, {4, 6}}; // in, in_change
    for (int i = 0; i < 3; ++i) {
        const auto m = row.match(QString::fromLatin1(lines[i + 1]));
        ASSERT_TRUE(m.hasMatch()) << lines[i + 1].toStdString();
        EXPECT_EQ(std::pair(m.captured(2).toInt(), m.captured(3).toInt()), expected[i]);
    }
    // A second run continues the record; a file that is none is refused and left alone.
    expectCli(runCli(dir.path(), {"monitor", "Site", "--count", "1", "--csv", file("r.csv")}), 0,
              "^$", "^$");
    EXPECT_EQ(readAll(file("r.csv")).count(kHeader), 1);
    EXPECT_EQ(readAll(file("r.csv")).count("\r\n"), 5);
    QFile other(file("notes.txt"));
    ASSERT_TRUE(other.open(QIODevice::WriteOnly) && other.write("my notes\r\n") > 0);
    other.close();
    expectCli(runCli(dir.path(), {"monitor", "Site", "--count", "1", "--csv", file("notes.txt")}),
              1, "^$", "holds something else than a count record");
    EXPECT_EQ(readAll(file("notes.txt")), "my notes\r\n");
}

TEST_F(CliMonitorTest, StdoutCarriesTheHeaderOrJsonLinesAndCtrlCEndsWithZero) {
    const CliRun csv = runCli(dir.path(), {"monitor", "Site", "--count", "2"});
    expectCli(csv, 0, QByteArray("^").append(kHeader).append("\n.*,65534,7,0,0\n.*,1,7,3,0\n$"),
              "^$");
    sim.clearLog();
    const CliRun json =
        runCli(dir.path(), {"monitor", "Site", "--every", "1", "--json"}, [&](QProcess& p) {
            QObject::connect(&sim, &sim::LoggerSim::request, &p, [&](const QByteArray&) {
                if (sim.requestCodes().count(3) == 3) // in the second read
                    sendInterrupt(p);
            });
        });
    expectCli(json, 0, "", "^nodalyx-cli: stopping after the read under way\n$");
    const QStringList lines = json.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2); // the read under way was ended whole
    const QJsonObject last = QJsonDocument::fromJson(lines[1].toUtf8()).object();
    EXPECT_EQ(last.keys(), (QStringList{"address", "channel", "highway", "in", "in_change",
                                        "location", "out", "out_change", "time"}));
    EXPECT_EQ(last.value("in_change").toInt(), 3);
    EXPECT_EQ(last.value("location").toString(), "Hall, east");
}

TEST_F(CliMonitorTest, FailuresAndUsage) {
    sim.faults().corruptCodes = {3};
    expectCli(
        runCli(dir.path(), {"monitor", "Site"}), 1, QByteArray("^").append(kHeader).append("\n$"),
        "Read 1 failed: Highway 1[\\s\\S]*Read 3 failed[\\s\\S]*Monitoring stopped after three "
        "failed reads in a row.\n$");
    sim.faults().silent = true;
    expectCli(runCli(dir.path(), {"monitor", "Site"}), 1, "^$",
              "Connection with Datalogger failed");
    for (const QStringList& args :
         {QStringList{"monitor"}, QStringList{"monitor", "Site", "--every", "0"},
          QStringList{"monitor", "Site", "--every", "3601"},
          QStringList{"monitor", "Site", "--count", "0"}, QStringList{"monitor", "Site", "--csv"},
          QStringList{"monitor", "Site", "--hw", "1"}})
        expectCli(runCli(dir.path(), args), 2, "^$", "Try 'nodalyx-cli --help'");
    expectCli(runCli(dir.path(), {"monitor", "Nowhere"}), 1, "^$", "Nowhere");
}
