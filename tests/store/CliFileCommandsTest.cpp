#include "TempDir.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <gtest/gtest.h>

using namespace nodalyx;

namespace {

struct CliRun {
    int exit = -1;
    QByteArray out;
    QByteArray err;
};

CliRun runProgram(const QString& program, const QStringList& args) {
    QProcess process;
    process.start(program, args);
    process.waitForFinished(30000);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            process.readAllStandardOutput(), process.readAllStandardError()};
}

CliRun cli(const test::TempDir& dir, QStringList args) {
    return runProgram(QStringLiteral(NODALYX_CLI_PATH), QStringList{"--dir", dir.path()} + args);
}

const QByteArray kSite = "Site: configuration file for VeraDazadizaro 1-2-2026 10:00\r\n\r\n"
                         "ConnType=2\r\nComport=1.5\r\nIPnumber=10.0.0.9\r\n"
                         "LocationName=Caf\xE9\r\nSaterday=08001800\r\n"
                         "eIPaddress=10.0.0.9\r\neDHCP=1\r\neMACaddress=\r\neExt4=spare\r\n";

const QByteArray kHW02 = "[Datalogger Configuration HW02]\r\n\r\n[Location]\r\nAddress=07\r\n"
                         "Active=1\r\nHWtype=2\r\nName3=Gate\r\nCor4=7\r\n";

} // namespace

TEST(CliFileCommands, NewWritesACompleteLocation) {
    test::TempDir dir;
    EXPECT_EQ(
        cli(dir, {"new", "Site", "--conn", "lan", "--ip", "10.0.0.5", "--port", "10001"}).exit, 0);
    EXPECT_EQ(dir.read("Site.fgr").count("\r\n"), 31);
    EXPECT_TRUE(dir.read("Site.fgr").contains("\r\nConnType=2\r\nComport=0\r\n"));
    EXPECT_EQ(dir.read("Site/HW01.ini").count("\r\n"), 2178);
    EXPECT_EQ(dir.read("Site/HW02.ini").count("\r\n"), 2178);
    EXPECT_EQ(cli(dir, {"new", "Site"}).exit, 1); // never over an existing location
    EXPECT_EQ(cli(dir, {"locations"}).out, QByteArray("Site\n"));
}

TEST(CliFileCommands, UsageErrorsAndMissingLocations) {
    test::TempDir dir;
    EXPECT_EQ(cli(dir, {"new"}).exit, 2);
    EXPECT_EQ(cli(dir, {"set", "Site", "ConnType"}).exit, 2);
    EXPECT_EQ(cli(dir, {"unit", "Site", "3", "0", "Name1=x"}).exit, 2);
    EXPECT_EQ(cli(dir, {"unit", "Site", "1", "64", "Name1=x"}).exit, 2);
    const CliRun missing = cli(dir, {"show", "Site"});
    EXPECT_EQ(missing.exit, 1);
    EXPECT_TRUE(missing.err.contains("The location \"Site\" does not exist"));
    EXPECT_EQ(cli(dir, {"set", "Site", "ConnType=1"}).exit, 1);
    EXPECT_EQ(cli(dir, {"unit", "Site", "1", "0", "Name1=x"}).exit, 1);
    EXPECT_FALSE(dir.exists("Site.fgr"));
    EXPECT_EQ(cli(dir, {"locations"}).out, QByteArray("Configuration 01\n"));
}

TEST(CliFileCommands, ShowJsonGivesEveryField) {
    test::TempDir dir;
    dir.write("Site.fgr", kSite);
    dir.write("Site/HW01.ini", "");
    dir.write("Site/HW02.ini", kHW02);
    const CliRun run = cli(dir, {"show", "Site", "--json"});
    ASSERT_EQ(run.exit, 0) << run.err.constData();
    const QJsonObject json = QJsonDocument::fromJson(run.out).object();
    EXPECT_EQ(json["location"].toString(), QStringLiteral("Site"));
    const QJsonObject s = json["settings"].toObject();
    EXPECT_EQ(s.size(), 19);
    EXPECT_EQ(s["ConnType"].toInt(), 2);
    EXPECT_EQ(s["Comport"].toDouble(), 1.5);
    EXPECT_EQ(s["LocationName"].toString(), QStringLiteral("Caf\u00e9"));
    EXPECT_EQ(s["Days"].toArray().at(6).toString(), QStringLiteral("08001800"));
    EXPECT_EQ(s["eMACaddress"].toArray().size(), 7);
    EXPECT_EQ(s["eDHCP"].toBool(), true);
    const QJsonArray hw2 = json["highways"].toObject()["2"].toArray();
    ASSERT_EQ(hw2.size(), 64);
    const QJsonObject unit = hw2.at(7).toObject();
    EXPECT_EQ(unit.size(), 32); // Address and the 31 stored fields
    EXPECT_EQ(unit["Address"].toInt(), 7);
    EXPECT_EQ(unit["Active"].toBool(), true);
    EXPECT_EQ(unit["HWtype"].toInt(), 2);
    EXPECT_EQ(unit["Name3"].toString(), QStringLiteral("Gate"));
    EXPECT_EQ(unit["Cor4"].toInt(), 7);
    EXPECT_TRUE(cli(dir, {"show", "Site"}).out.contains("\n07 Active=1 HWtype=2 HWaddress="));
}

TEST(CliFileCommands, SetAndUnitSaveWithBackupOrWriteNothing) {
    test::TempDir dir;
    dir.write("Site.fgr", kSite);
    dir.write("Site/HW02.ini", kHW02);
    for (const QStringList& refused : {QStringList{"set", "Site", "LocationCode=5", "ConnType=abc"},
                                       QStringList{"set", "Site", "Saturday=08001800"},
                                       QStringList{"set", "Site", "LocationName=[North]"},
                                       QStringList{"unit", "Site", "2", "7", "Name1=Gate ]"},
                                       QStringList{"unit", "Site", "2", "7", "Cor1=300"},
                                       QStringList{"unit", "Site", "2", "7", "Address=3"}}) {
        const CliRun run = cli(dir, refused);
        EXPECT_EQ(run.exit, 1) << refused.join(' ').toStdString();
        EXPECT_TRUE(run.err.contains("Nothing was written.")) << run.err.constData();
    }
    EXPECT_EQ(dir.read("Site.fgr"), kSite);
    EXPECT_FALSE(dir.exists("Site.bak") || dir.exists("Site/HW02.bak"));

    ASSERT_EQ(cli(dir, {"set", "Site", "locationcode = 042 {new}", "eDHCP=False"}).exit, 0);
    EXPECT_EQ(dir.read("Site.bak"), kSite);
    const QByteArray fgr = dir.read("Site.fgr");
    EXPECT_TRUE(fgr.contains("\r\nComport=1.5\r\n"));
    EXPECT_TRUE(fgr.contains("\r\nLocationCode=042\r\n"));
    EXPECT_TRUE(fgr.contains("\r\neDHCP=0\r\n"));
    EXPECT_TRUE(fgr.contains("\r\nLocationName=Caf\xE9\r\n"));

    ASSERT_EQ(cli(dir, {"unit", "Site", "2", "7", "name1=Door", "COR1=50.5"}).exit, 0);
    EXPECT_EQ(dir.read("Site/HW02.bak"), kHW02);
    EXPECT_TRUE(dir.read("Site/HW02.ini").contains("Address=07\r\nActive=1\r\nHWtype=2\r\n"));
    EXPECT_TRUE(dir.read("Site/HW02.ini").contains("Name1=Door\r\nFrom1=\r\nTo1=\r\nCor1=50\r\n"));
}

TEST(CliFileCommands, AWriteThatFailsHalfWayKeepsTheOldFile) {
    test::TempDir dir;
    ASSERT_EQ(cli(dir, {"new", "Site"}).exit, 0);
    const QByteArray before = dir.read("Site/HW01.ini");
    // Files may grow to a few KiB only: the 21 KiB highway file cannot be written whole.
    const CliRun run = runProgram(QStringLiteral("/bin/sh"),
                                  {"-c", "trap '' XFSZ; ulimit -f 16; exec \"$0\" \"$@\"",
                                   QStringLiteral(NODALYX_CLI_PATH), "--dir", dir.path(), "unit",
                                   "Site", "1", "0", "Name1=Door"});
    EXPECT_EQ(run.exit, 1);
    EXPECT_TRUE(run.err.contains("Cannot write \"")) << run.err.constData();
    EXPECT_EQ(dir.read("Site/HW01.ini"), before);
    EXPECT_EQ(QDir(dir.file("Site")).entryList(QDir::Files), (QStringList{"HW01.ini", "HW02.ini"}));
}
