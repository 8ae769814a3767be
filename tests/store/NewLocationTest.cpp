#include "NewLocation.h"
#include "Fixtures.h"
#include "LocationStore.h"

#include <QDir>
#include <gtest/gtest.h>

using namespace nodalyx;

namespace {

QStringList entries(const test::TempDir& dir) {
    return QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
}

NewLocationRequest request(const char* name, qint16 type = 0, const char* comport = "",
                           const char* ip = "", const char* port = "") {
    return {QString::fromLatin1(name), type, QString::fromLatin1(comport), QString::fromLatin1(ip),
            QString::fromLatin1(port)};
}

NewLocationRequest lan(const char* name, const char* ip = "10.0.0.7") {
    return request(name, 2, "", ip, "10001");
}

} // namespace

using NewLocation = StoreTest;

TEST(LocationName, OnlyNamesEverySystemTakesAsFileAndFolderNames) {
    for (const char* good : {"Site", " Site ", "Caf\xC3\xA9", "a.b", "Console", "COM10", "x-1_(2)"})
        EXPECT_EQ(checkLocationName(QString::fromUtf8(good)), QString()) << good;
    for (const char* bad : {"", "   ", "a/b", "a\\b", ".", "..", "a:b", "a?b", "a*b", "a<b", "a|b",
                            "a\"b", "tab\there", "con", "NUL.txt", "Com1", "LPT9 ", "name."})
        EXPECT_NE(checkLocationName(QString::fromUtf8(bad)), QString()) << bad;
    EXPECT_EQ(checkLocationName(QStringLiteral("   ")), QStringLiteral("No name found"));
    EXPECT_EQ(checkLocationName(QString(100, QLatin1Char('x'))), QString());
    EXPECT_NE(checkLocationName(QString(101, QLatin1Char('x'))), QString());
}

TEST_F(NewLocation, CreatesTheFilesWithDefaults) {
    state.settings.Interval = QStringLiteral("15");
    state.settings.eMACaddress = QStringList{"A", "B", "C", "D", "E", "F"};
    state.settings.eIPaddress = QStringList{"1", "2", "3", "4"};
    state.settings.eGateway = QStringList{"1", "2"};
    state.settings.eSerialnumber = QStringLiteral("SN1");
    state.eDHCPIPaddress = QStringList{"9", "9", "9", "9"};
    state.HW1Unit[1].Active = true;

    ASSERT_TRUE(createLocation(state, lan(" New site "), op));
    EXPECT_TRUE(op.shown().isEmpty());
    const QByteArray fgr = dir.read(" New site .fgr");
    for (const char* line :
         {"\r\nConnType=2\r\nComport=0\r\nPhoneNumber=\r\nIPnumber=10.0.0.7\r\nPortnumber="
          "10001\r\n",
          "\r\nLocationCode=001\r\nLocationName=Location01\r\nLocationPlace=Place01\r\n",
          "\r\nSaterday=07002200\r\nInterval=15\r\neIPaddress=...\r\n", "\r\neGateway=\r\n",
          "\r\neDHCP=0\r\nePortnumber=\r\neMACaddress=A:B:C:D:E:F\r\n", "\r\neSerialnumber=\r\n"})
        EXPECT_TRUE(fgr.contains(line)) << line;
    EXPECT_EQ(state.eDHCPIPaddress, QStringList(4, QString()));
    EXPECT_FALSE(state.HW1Unit[1].Active);
    EXPECT_TRUE(dir.exists(" New site /HW01.ini") && dir.exists(" New site /HW02.ini"));
}

TEST_F(NewLocation, ConnectionChoicesBecomeSettings) {
    ASSERT_TRUE(createLocation(state, request("Serial", 1, "3"), op));
    EXPECT_TRUE(dir.read("Serial.fgr").contains("\r\nConnType=1\r\nComport=3\r\n"));
    ASSERT_TRUE(createLocation(state, request("None"), op));
    EXPECT_TRUE(dir.read("None.fgr").contains("\r\nConnType=0\r\nComport=0\r\n"));
}

TEST_F(NewLocation, RefusesWhatCannotWorkAndWritesNothing) {
    dir.write("Taken.fgr", "");
    dir.write("Folder/HW01.ini", "");
    const QStringList before = entries(dir);
    const std::pair<NewLocationRequest, const char*> cases[] = {
        {lan("  "), "No name found"},
        {lan("a/b"), "cannot hold"},
        {lan("Site", "192..."), "is not four numbers"},
        {lan("Site", "10.0.0.256"), "is not four numbers"},
        {request("Site", 2, "", "10.0.0.1", "0"), "is not a number 1..65535"},
        {request("Site", 1), "Choose the Comm port"},
        {request("Site", 1, "x"), "is not a port number"},
        {lan("Taken"), "already exists"},
        {lan("Folder"), "already in the way"},
    };
    for (const auto& [request, reason] : cases) {
        test::ScriptedOperator op; // fresh for each case
        SharedState state;
        state.programDir = dir.path();
        EXPECT_FALSE(createLocation(state, request, op)) << reason;
        EXPECT_TRUE(op.lastText().contains(QLatin1String(reason))) << op.lastText().toStdString();
        EXPECT_EQ(state.settings, GeneralSettings());
    }
    EXPECT_EQ(entries(dir), before);
    EXPECT_EQ(dir.read("Taken.fgr"), QByteArray());
}
