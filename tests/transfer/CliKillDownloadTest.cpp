// nodalyx-cli download killed (SIGKILL) at random moments, hundreds of times: every time the
// highway file is the old or the downloaded content in full, its .bak the previous backup or
// the previous file.
#include "LocationStore.h"
#include "TransferHarness.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QTimer>
#include <gtest/gtest.h>

#include <csignal>
#include <random>

using namespace nodalyx;
using namespace nodalyx::test;

namespace {

constexpr int kKills = 300;

// Runs the event loop (the simulator answers meanwhile); answers whether the process ended.
bool runFor(QProcess& process, int ms) {
    if (process.state() == QProcess::NotRunning)
        return true;
    QEventLoop loop;
    QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
    return process.state() == QProcess::NotRunning;
}

} // namespace

TEST(CliKillTest, DownloadKilledAnywhereLeavesTheOldOrTheNewHighwayFileAndItsBackup) {
    TransferHarness h;
    ASSERT_TRUE(h.ok);
    pointAtTcp(h.state, h.sim.tcpPort());
    ASSERT_TRUE(WriteFGR(h.state, h.location, h.op));
    QByteArray loggerFile;
    for (int unit = 0; unit < 64; ++unit)
        loggerFile += "[Unit " + QByteArray::number(unit) + "]\r\nName1=Door\r\n";
    h.logger.write("HW01.ini", loggerFile);
    const QByteArray oldFile = "[Datalogger Configuration HW01]\r\n\r\n";
    const QStringList args{"--dir", h.dir.path(), "download", "Site", "--hw", "1"};

    // One whole run: what a finished download leaves, and how long it takes.
    h.writeLocal("HW01.ini", oldFile);
    QElapsedTimer timer;
    timer.start();
    QProcess whole;
    whole.start(QStringLiteral(NODALYX_CLI_PATH), args);
    ASSERT_TRUE(runFor(whole, 30000));
    ASSERT_EQ(whole.exitCode(), 0) << whole.readAllStandardError().toStdString();
    const int fullMs = int(timer.elapsed()) + 1;
    const QByteArray newFile = h.local("HW01.ini");
    ASSERT_NE(newFile, oldFile);

    std::mt19937 random(20261207);
    std::uniform_int_distribution<int> delay(0, fullMs * 6 / 5);
    int old = 0, renewed = 0;
    for (int i = 0; i < kKills; ++i) {
        SCOPED_TRACE(i);
        h.writeLocal("HW01.ini", oldFile);
        const QByteArray oldBackup = h.local("HW01.bak");
        QProcess process;
        process.start(QStringLiteral(NODALYX_CLI_PATH), args);
        ASSERT_TRUE(process.waitForStarted(10000));
        if (!runFor(process, delay(random)))
            ::kill(pid_t(process.processId()), SIGKILL);
        ASSERT_TRUE(runFor(process, 10000));
        const QByteArray now = h.local("HW01.ini"), nowBackup = h.local("HW01.bak");
        ASSERT_TRUE(now == oldFile || now == newFile);
        ASSERT_TRUE(nowBackup == oldBackup || nowBackup == oldFile);
        (now == oldFile ? old : renewed) += 1;
        h.sim.closeClient(); // a connection cut by the kill is gone before the next run
    }
    EXPECT_GT(old, 0); // the kills came before the save as well as after it
    EXPECT_GT(renewed, 0);
}
