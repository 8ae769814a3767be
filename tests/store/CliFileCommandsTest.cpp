// nodalyx-cli's file commands: their arguments, output and exit status. What the files hold,
// which values the store refuses and which rules a location breaks, the store's and the
// rules' own tests prove.
#include "CliProcess.h"
#include "Fixtures.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

using nodalyx::test::CliRun;
using nodalyx::test::runCli;

static QJsonValue json(const char* text) {
    return QJsonDocument::fromJson(text).object();
}

// The fixture location "Site" (highway 1 empty, highway 2 the fixture file).
struct CliFileCommands : StoreTest {
    CliFileCommands() {
        dir.write("Site.fgr", fixture("Site.fgr"));
        dir.write("Site/HW01.ini", "");
        dir.write("Site/HW02.ini", highwayFixture(2));
    }
    CliRun cli(const QStringList& args) const { return runCli(dir.path(), args); }
};

TEST_F(CliFileCommands, FailuresExitWithOneUsageErrorsWithTwoAndNothingIsWritten) {
    ASSERT_EQ(cli({"new", "New", "--conn", "lan", "--ip", "10.0.0.5", "--port", "10001"}).exit, 0);
    EXPECT_TRUE(dir.read("New.fgr").contains("\r\nConnType=2\r\nComport=0\r\nPhoneNumber=\r\n"
                                             "IPnumber=10.0.0.5\r\nPortnumber=10001\r\n"));
    const char* const hwAddr = "HW must be 1 or 2 and ADDR a number 0..63";
    const char* const notWritten = "Nothing was written.";
    nodalyx::test::expectFailures(
        {{{"new"}, 2, "new needs a LOCATION"},
         {{"set", "Gone", "ConnType"}, 2, "'ConnType' is not KEY=VALUE"},
         {{"unit", "Gone", "1", "64", "Name1=x"}, 2, hwAddr},
         {{"unit", "Gone", "1", "0", "Name1=x"}, 1, "The location \"Gone\" does not exist"},
         {{"new", "a\xc2\x9bz"}, 1, "The name \"a\\x9bz\" cannot hold control characters"},
         {{"set", "Site", "LocationCode=5", "ConnType=abc"}, 1, notWritten},
         {{"set", "Site", "Saturday=08001800"}, 1, notWritten}, // no such key
         {{"set", "Site", "LocationName=[North]"}, 1, notWritten},
         {{"unit", "Site", "2", "5", "Name1=Gate ]"}, 1, notWritten},
         {{"unit", "Site", "2", "5", "Address=3"}, 1, notWritten}},
        [this](const QStringList& args) { return cli(args); });
    EXPECT_EQ(dir.read("Site.fgr"), fixture("Site.fgr"));
    EXPECT_EQ(dir.read("Site/HW02.ini"), highwayFixture(2));
    EXPECT_FALSE(dir.exists("Site.bak") || dir.exists("Site/HW02.bak"));
    EXPECT_EQ(cli({"locations"}).out, "New\nSite\n");
}

TEST_F(CliFileCommands, ShowAsJsonAndAsText) {
    const CliRun run = cli({"show", "Site", "--json"});
    ASSERT_EQ(run.exit, 0) << run.err.toStdString();
    const QJsonObject shown = QJsonDocument::fromJson(run.out.toUtf8()).object();
    EXPECT_EQ(shown["location"].toString(), QStringLiteral("Site"));
    EXPECT_EQ(shown["settings"], json(R"({"Comport":1.5,"ConnType":2,"Days":["07002200","07002200",
"07002200","07002200","07002200","07002200","00000000"],"IPnumber":"192.168.1.20","Interval":"15",
"LocationCode":"001","LocationName":"Caf\u00e9 Noord","LocationPlace":"Place01","PhoneNumber":"",
"Portnumber":"10001","eDHCP":true,"eExt":["a","","x y","spare"],"eGateway":["","","",""],
"eHostname":"logger1","eIPaddress":["192","168","1","20"],"eMACaddress":["00","1A","2B","3C","4D",
"5E"],"ePortnumber":"10001","eSerialnumber":"SN0042","eSubnetmask":["255","255","255","0"]})"));
    const QJsonArray hw2 = shown["highways"].toObject()["2"].toArray();
    ASSERT_EQ(hw2.size(), 64);
    // The units' keys come from one table: a text and a number stand for the others.
    const QJsonObject unit = hw2.at(5).toObject();
    EXPECT_EQ(unit.size(), 32);
    const QJsonObject some = json(R"({"Address":5,"Active":true,"HWtype":2,
"HWaddress":"0A1B2C3D4E5F","Name1":"Caf\u00e9","Cor1":95,"Entrancewidth4":""})")
                                 .toObject();
    for (const QString& key : some.keys())
        EXPECT_EQ(unit[key], some[key]) << key.toStdString();
    EXPECT_TRUE(cli({"show", "Site"}).out.contains("\n05 Active=1 HWtype=2 HWaddress=0A1B2C"));
}

// Keys in any case, blanks and a comment around them; everything else stays as it was.
TEST_F(CliFileCommands, SetAndUnitChangeOnlyTheirValues) {
    ASSERT_EQ(cli({"set", "Site", "locationcode = 042 {new}", "eDHCP=False"}).exit, 0);
    const QByteArray fgr = dir.read("Site.fgr"), old = fixture("Site.fgr");
    EXPECT_EQ(fgr.mid(fgr.indexOf('\r')), old.mid(old.indexOf('\r'))
                                              .replace("LocationCode=001", "LocationCode=042")
                                              .replace("eDHCP=1", "eDHCP=0"));
    ASSERT_EQ(cli({"unit", "Site", "2", "5", "name1=Door", "COR1=50.5"}).exit, 0);
    EXPECT_EQ(dir.read("Site/HW02.ini"),
              highwayFixture(2)
                  .replace("Name1=Caf\xE9\r\n", "Name1=Door\r\n")
                  .replace("Cor1=95\r\n", "Cor1=50\r\n")
                  .replace("Entrancewidth4=\r\n", "Entrancewidth4=6\r\n"));
}

TEST_F(CliFileCommands, AWriteThatFailsHalfWayKeepsTheOldFile) {
    // Files may grow to a few KiB only: the 21 KiB highway file cannot be written whole.
    const CliRun run = nodalyx::test::runProgram(
        QStringLiteral("/bin/sh"),
        {"-c", "trap '' XFSZ; ulimit -f 16; exec \"$0\" \"$@\"", QStringLiteral(NODALYX_CLI_PATH),
         "--dir", dir.path(), "unit", "Site", "2", "0", "Name1=Door"});
    EXPECT_EQ(run.exit, 1);
    EXPECT_TRUE(run.err.contains("Cannot write \"")) << run.err.toStdString();
    EXPECT_EQ(dir.read("Site/HW02.ini"), highwayFixture(2));
    EXPECT_EQ(QDir(dir.file("Site")).entryList(QDir::Files), (QStringList{"HW01.ini", "HW02.ini"}));
}

// `set` stores what the file can hold and warns, in the file's order, about each value just
// set that the windows or the upload would not take; values it was not given are not named
// (the fixture's Comport "1.5" breaks a rule too).
TEST_F(CliFileCommands, SetStoresWhatTheWindowsWouldNotTakeAndWarns) {
    const CliRun run = cli({"set", "Site", "interval=abc", "Portnumber=70000", "eExt1=ab"});
    EXPECT_EQ(run.exit, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, QString());
    EXPECT_EQ(run.err, "nodalyx-cli: warning: Portnumber: \"70000\" - a number from 1 to 65535\n"
                       "nodalyx-cli: warning: Interval: \"abc\" - a number from 0 to 255\n");
    const QByteArray fgr = dir.read("Site.fgr");
    for (const char* line :
         {"\r\nPortnumber=70000\r\n", "\r\nInterval=abc\r\n", "\r\neExt1=ab\r\n"})
        EXPECT_TRUE(fgr.contains(line)) << line;
}

// `check`: one line per problem and exit 3, the same as JSON; exit 0 once they are mended.
TEST_F(CliFileCommands, CheckListsEveryProblemAndExitsThreeUntilThereIsNone) {
    ASSERT_EQ(cli({"set", "Site", "eGateway=1..."}).exit, 0); // an address begun, not finished
    const QByteArray before = dir.read("Site.fgr");
    const CliRun lines = cli({"check", "Site"});
    EXPECT_EQ(lines.exit, 3) << lines.err.toStdString();
    EXPECT_EQ(lines.out, "Comport: \"1.5\" - 0 or a whole number from 1 to 255\n"
                         "eGateway: \"1...\" - four numbers from 0 to 255 separated by dots, or "
                         "empty\n");
    const CliRun json = cli({"check", "--json", "Site"});
    EXPECT_EQ(json.exit, 3);
    EXPECT_EQ(QJsonDocument::fromJson(json.out.toUtf8()).array(), QJsonDocument::fromJson(R"([
{"key":"Comport","value":"1.5","rule":"0 or a whole number from 1 to 255"},
{"key":"eGateway","value":"1...","rule":"four numbers from 0 to 255 separated by dots, or empty"}])")
                                                                      .array());
    EXPECT_EQ(dir.read("Site.fgr"), before); // check writes nothing

    ASSERT_EQ(cli({"set", "Site", "Comport=0", "eGateway=192.168.1.1"}).exit, 0);
    const CliRun clean = cli({"check", "Site"}), cleanJson = cli({"check", "Site", "--json"});
    EXPECT_EQ(clean.exit, 0);
    EXPECT_EQ(clean.out, QString());
    EXPECT_EQ(clean.err, "nodalyx-cli: Site: no problems found.\n");
    EXPECT_EQ(cleanJson.exit, 0);
    EXPECT_EQ(cleanJson.out.trimmed(), "[\n]");

    const QString help = cli({"--help"}).out;
    EXPECT_TRUE(help.contains("  check LOCATION [--json]")) << help.toStdString();
    EXPECT_TRUE(help.contains("3 settings --diff found\na difference, check found a problem"));
    nodalyx::test::expectFailures({{{"check", "Gone"}, 1, "The location \"Gone\" does not exist"},
                                   {{"check", "Site", "--all"}, 2, "check needs one LOCATION"}},
                                  [this](const QStringList& args) { return cli(args); });
}
