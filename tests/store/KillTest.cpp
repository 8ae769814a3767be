// Saves that survive a kill: nodalyx-cli is killed (SIGKILL) at random moments of a save,
// hundreds of times, and every time the file is the old or the new content in full. Location
// and highway files are saved by the same routine; the location file stands for both.
#include "Fixtures.h"
#include "LocationFileCodec.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <chrono>
#include <random>
#include <thread>

namespace {

constexpr int kKills = 300;

QByteArray contentOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

bool locationNamed(const QByteArray& bytes, const QString& name) {
    nodalyx::GeneralSettings settings;
    const nodalyx::LocationReadResult read = nodalyx::decodeLocationFile(bytes, settings);
    return read.headerOk && !read.failure && settings.LocationName == name &&
           bytes.endsWith("\r\n");
}

class CliKillTest : public StoreTest {
protected:
    CliKillTest() { dir.write("Site.fgr", fixture("Site.fgr")); }

    void start(QProcess& process, const QString& name) const {
        process.start(QStringLiteral(NODALYX_CLI_PATH),
                      {"--dir", dir.path(), "set", "Site", "LocationName=" + name});
    }
    // Starts the command and kills it after a random delay (it may have finished by then).
    void runAndKill(const QString& name, qint64 withinMicros) {
        std::uniform_int_distribution<qint64> delay(0, withinMicros);
        QProcess process;
        start(process, name);
        ASSERT_TRUE(process.waitForStarted(10000));
        std::this_thread::sleep_for(std::chrono::microseconds(delay(m_random)));
        process.kill(); // SIGKILL; TerminateProcess on Windows
        ASSERT_TRUE(process.waitForFinished(10000));
    }

    std::mt19937 m_random{20261207};
};

} // namespace

// Each time the file holds the old content or the new value in full, and the backup the old
// backup or the old file; kills land both before and after the save.
TEST_F(CliKillTest, SetKilledAnywhereLeavesTheOldOrTheNewFileAndItsBackup) {
    const QString file = dir.file("Site.fgr"), backup = dir.file("Site.bak");
    QElapsedTimer timer; // a whole run, so the kills can be spread over it and a little beyond
    timer.start();
    QProcess first;
    start(first, "Start");
    ASSERT_TRUE(first.waitForFinished(30000));
    ASSERT_EQ(first.exitCode(), 0) << first.readAllStandardError().toStdString();
    const qint64 full = timer.nsecsElapsed() / 1000;
    int old = 0, renewed = 0;
    for (int i = 0; i < kKills; ++i) {
        SCOPED_TRACE(i);
        const QByteArray oldFile = contentOf(file), oldBackup = contentOf(backup);
        const QString value = "Name" + QString::number(i);
        runAndKill(value, full * 6 / 5);
        const QByteArray now = contentOf(file), nowBackup = contentOf(backup);
        ASSERT_TRUE(now == oldFile || locationNamed(now, value));
        ASSERT_TRUE(nowBackup == oldBackup || nowBackup == oldFile);
        (now == oldFile ? old : renewed) += 1;
    }
    EXPECT_GT(old, 0);
    EXPECT_GT(renewed, 0);
}
