// Saves that survive a kill: nodalyx-cli is killed (SIGKILL) at random moments of a save,
// hundreds of times, and every time each file is the old or the new content in full.
#include "Fixtures.h"
#include "HighwayFileCodec.h"
#include "LocationFileCodec.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <chrono>
#include <csignal>
#include <functional>
#include <random>
#include <thread>

namespace {

constexpr int kKills = 300;

QByteArray contentOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

class CliKillTest : public StoreTest {
protected:
    CliKillTest() {
        dir.write("Site.fgr", fixture("Site.fgr"));
        dir.write("Site/HW01.ini", highwayFixture(1));
        dir.write("Site/HW02.ini", highwayFixture(2));
    }

    QStringList command(const QStringList& args) const {
        return QStringList{"--dir", dir.path()} + args;
    }

    // The time a whole run takes, so the kills can be spread over it and a little beyond.
    qint64 fullRunMicros(const QStringList& args) {
        QElapsedTimer timer;
        timer.start();
        QProcess process;
        process.start(QStringLiteral(NODALYX_CLI_PATH), command(args));
        EXPECT_TRUE(process.waitForFinished(30000));
        EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
        return timer.nsecsElapsed() / 1000;
    }

    // Starts the command and kills it after a random delay (it may have finished by then).
    void runAndKill(const QStringList& args, qint64 withinMicros) {
        std::uniform_int_distribution<qint64> delay(0, withinMicros);
        QProcess process;
        process.start(QStringLiteral(NODALYX_CLI_PATH), command(args));
        ASSERT_TRUE(process.waitForStarted(10000));
        std::this_thread::sleep_for(std::chrono::microseconds(delay(m_random)));
        ::kill(pid_t(process.processId()), SIGKILL);
        ASSERT_TRUE(process.waitForFinished(10000));
    }

    std::mt19937 m_random{20261207};
};

bool locationNamed(const QByteArray& bytes, const QString& name) {
    nodalyx::GeneralSettings settings;
    const nodalyx::LocationReadResult read = nodalyx::decodeLocationFile(bytes, settings);
    return read.headerOk && !read.failure && settings.LocationName == name &&
           bytes.endsWith("\r\n");
}

bool highwayWithName(const QByteArray& bytes, const QString& name) {
    nodalyx::UnitTable table{};
    const nodalyx::HighwayReadResult read = nodalyx::decodeHighwayFile(bytes, 1, table);
    return read.headerOk && !read.failure && table[4].Name1 == name && bytes.endsWith("\r\n");
}

} // namespace

// Kills `command` + a new value hundreds of times: each time the file holds the old content or
// the new value in full, and the backup the old backup or the old file; kills land both before
// and after the save.
TEST_F(CliKillTest, SetOrUnitKilledAnywhereLeavesTheOldOrTheNewFileAndItsBackup) {
    const struct {
        QStringList command;
        const char *file, *backup, *value;
        std::function<bool(const QByteArray&, const QString&)> holds;
    } rows[] = {
        {{"set", "Site", "LocationName="}, "Site.fgr", "Site.bak", "Name", locationNamed},
        {{"unit", "Site", "1", "3", "Name1="},
         "Site/HW01.ini",
         "Site/HW01.bak",
         "Door",
         highwayWithName},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.file);
        const QString file = dir.file(row.file), backup = dir.file(row.backup);
        QStringList args = row.command;
        args.last() += "Start";
        const qint64 full = fullRunMicros(args);
        int old = 0, renewed = 0;
        for (int i = 0; i < kKills; ++i) {
            SCOPED_TRACE(i);
            const QByteArray oldFile = contentOf(file), oldBackup = contentOf(backup);
            const QString value = row.value + QString::number(i);
            args = row.command;
            args.last() += value;
            runAndKill(args, full * 6 / 5);
            const QByteArray now = contentOf(file), nowBackup = contentOf(backup);
            ASSERT_TRUE(now == oldFile || row.holds(now, value));
            ASSERT_TRUE(nowBackup == oldBackup || nowBackup == oldFile);
            (now == oldFile ? old : renewed) += 1;
        }
        EXPECT_GT(old, 0);
        EXPECT_GT(renewed, 0);
    }
    // The location still reads after all of it.
    QProcess show;
    show.start(QStringLiteral(NODALYX_CLI_PATH), command({"show", "Site"}));
    ASSERT_TRUE(show.waitForFinished(30000));
    EXPECT_EQ(show.exitCode(), 0) << show.readAllStandardError().toStdString();
}
