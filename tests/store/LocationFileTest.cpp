#include "Fixtures.h"
#include "LocationFileCodec.h"
#include "LocationStore.h"
#include "NewLocation.h"

#include <QDir>
#include <QRegularExpression>

using namespace nodalyx;

static NewLocationRequest lan(const char* name, const char* ip = "10.0.0.7") {
    return {QString::fromUtf8(name), 2, "", ip, "10001"};
}

using LocationStore = StoreTest;
using NewLocation = StoreTest;

TEST(LocationFile, ReadsAndWritesBackByteForByte) {
    GeneralSettings s;
    const LocationReadResult result = decodeLocationFile(fixture("Site.fgr"), s);
    ASSERT_TRUE(result.headerOk && !result.failure);
    EXPECT_EQ(s.LocationName, QStringLiteral("Caf\u00e9 Noord"));
    EXPECT_EQ(encodeLocationFile(s, QString::fromLatin1(kLocationHeader).chopped(2)),
              fixture("Site.fgr"));
}

TEST(LocationFile, LinesAreTakenApartLikeTheOldReader) {
    GeneralSettings s;
    EXPECT_TRUE(decodeLocationFile(QByteArray(), s).headerOk); // an empty file made new
    // Nothing is read when the first line that is not blank is no header.
    EXPECT_FALSE(decodeLocationFile("\r\nSite: configuration\r\nLocationCode=9\r\n", s).headerOk);
    s.Interval = QStringLiteral("60");
    const LocationReadResult result =
        decodeLocationFile("  \r\n\r\nmy site: CONFIGURATION file for veradazadizaro\r\n"
                           "connType=3\r\nLocationName = Big  Hall {main entrance}\r\n"
                           "LocationPlace=Ams\tter\tdam\r\n[Section]=x\r\n   \r\n"
                           "eIPaddress=10.0.0\r\neMACaddress=\r\neGateway=\r\n"
                           "eSubnetmask=1.2.3.4.5\r\nedhcp=True\r\nNonsense=1\r\nconnType=4\r\n",
                           s);
    ASSERT_TRUE(result.headerOk && !result.failure);
    EXPECT_EQ(s.ConnType, 4);
    EXPECT_EQ(s.LocationName, QStringLiteral("Big  Hall"));
    EXPECT_EQ(s.LocationPlace, QStringLiteral("Amsterdam"));
    EXPECT_EQ(s.Interval, QStringLiteral("60")); // absent keys keep their values
    EXPECT_TRUE(s.LocationCode.isEmpty());       // the file without a header was not read
    EXPECT_EQ(s.eMACaddress, QStringList(7, QString()));
    EXPECT_EQ(locationBodyLines(s).mid(18, 6), // three octets: the key alone
              (QStringList{"eIPaddress=", "eSubnetmask=1.2.3.4.5", "eGateway=...", "eDHCP=1",
                           "ePortnumber=", "eMACaddress=:::::"}));
}

TEST(LocationFile, ReadingStopsAtTheFirstBadLine) {
    const std::pair<const char*, const char*> cases[] = {
        {"[Section]", "the line has no \"=\""},
        {"a{b=c", "the \"{\" comes before the \"=\""},
        {"ConnType=abc", "ConnType value \"abc\" is not a number"},
        {"ConnType=40000", "ConnType value 40000 is out of range -32768..32767"},
        {"eDHCP=maybe", "eDHCP value \"maybe\" is neither a number nor True or False"},
    };
    for (const auto& [line, reason] : cases) {
        SCOPED_TRACE(line);
        GeneralSettings s;
        const LocationReadResult result = decodeLocationFile(
            kLocationHeader + "LocationCode=7\r\n" + line + "\r\nLocationName=after\r\n", s);
        ASSERT_TRUE(result.failure);
        EXPECT_EQ(result.failure->line, 3);
        EXPECT_EQ(result.failure->reason, QString::fromLatin1(reason));
        EXPECT_EQ(s.LocationCode, QStringLiteral("7"));
        EXPECT_TRUE(s.LocationName.isEmpty());
    }
}

// Only names every system takes as file and folder names; a control character is shown as \xNN.
// Blanks in front and inside are kept: stored locations rely on them.
TEST(LocationName, RefusedNamesSayWhy) {
    for (const char* good : {"Site", " two  inner\xC2\xA0z", "Caf\xC3\xA9 \xE2\x82\xAC", "a.b",
                             "Console", "COM10", "COM0", "LPT"})
        EXPECT_EQ(checkLocationName(QString::fromUtf8(good)), QString()) << good;
    // A trailing blank: Windows would drop it from the folder name.
    const std::pair<const char*, const char*> refused[] = {
        {"   ", "No name"},     {"a/b", "\"/\""},          {"a\\b", "\"/\""},
        {"..", "not a file"},   {"a:b", "any of"},         {"a\"b", "any of"},
        {"a\x1fz", "a\\x1fz"},  {"a\x7fz", "a\\x7fz"},     {"a\xC2\x9fz", "a\\x9fz"},
        {"con", "device"},      {"NUL.txt", "device"},     {"LPT9 ", "device"},
        {"com3.log", "device"}, {"name.", "end in \".\""}, {" Site  ", "end in a blank"}};
    for (const auto& [name, reason] : refused) {
        const QString told = checkLocationName(QString::fromUtf8(name));
        EXPECT_TRUE(told.contains(QLatin1String(reason))) << name << ": " << told.toStdString();
    }
    EXPECT_TRUE(checkLocationName(QString(101, 'x')).contains("is too long: at most 100"));
}

TEST_F(LocationStore, WriteKeepsABackupReadsBackAndFailsLeavingWhatWasThere) {
    state.settings.LocationName = QStringLiteral("Caf\u00e9");
    state.settings.eIPaddress = state.settings.eGateway = state.settings.eSubnetmask =
        QStringList{"10", "0", "0", "1"};
    state.settings.eMACaddress = QStringList(6, QStringLiteral("AB"));
    ASSERT_TRUE(WriteFGR(state, QStringLiteral("Site"), op));
    const QByteArray first = dir.read("Site.fgr");
    EXPECT_TRUE(QString::fromLatin1(first).contains(QRegularExpression(
        "^Site: configuration file for VeraDazadizaro .+ [0-2][0-9]:[0-5][0-9]\r\n")));

    state.settings.ConnType = 2;
    ASSERT_TRUE(WriteFGR(state, QStringLiteral("Site"), op));
    EXPECT_EQ(dir.read("Site.bak"), first);
    SharedState again;
    again.programDir = dir.path();
    EXPECT_TRUE(ReadFGR(again, QStringLiteral("Site.fgr"), op));
    EXPECT_EQ(again.settings, state.settings);
    const QString longest(100, QLatin1Char('n'));
    EXPECT_TRUE(WriteFGR(state, longest, op) && ReadFGR(again, longest + ".fgr", op));
    EXPECT_TRUE(op.shown().isEmpty());

    dir.write("Other.fgr/keep.txt", "old");
    EXPECT_FALSE(WriteFGR(state, QStringLiteral("Other"), op));
    EXPECT_EQ(dir.read("Other.fgr/keep.txt"), QByteArray("old"));
    EXPECT_EQ(op.lastText(), "Cannot write \"" + dir.file("Other.fgr") +
                                 "\": a folder of that name is in the way.");
    state.programDir = dir.file("missing");
    EXPECT_FALSE(WriteFGR(state, QStringLiteral("Site"), op));
    EXPECT_FALSE(dir.exists("missing"));
    EXPECT_FALSE(WriteFGR(state, QStringLiteral("CON"), op));
    EXPECT_EQ(op.shown().size(), 3);
    EXPECT_EQ(op.busyDepth(), 0);
}

TEST_F(LocationStore, FilesThatAreNoLocationFilesAreReportedAndNotRead) {
    dir.write("Zero.fgr", kLocationHeader + "LocationCode=1\r\n" + QByteArray(3, '\0'));
    dir.write("Bad.fgr", kLocationHeader + "LocationCode=1\r\nConnType=abc\r\n");
    // Only the last file is read, up to its bad line.
    const std::pair<const char*, QString> cases[] = {
        {"Missing.fgr", "Missing.fgr\": the file does not exist."},
        {"Zero.fgr", "Zero.fgr\": the file is not text (it holds NUL bytes)."},
        {"../x.fgr", "The name \"../x\" cannot hold \"/\" or \"\\\"."},
        {"Bad.fgr", "Bad.fgr\" line 3: ConnType value \"abc\" is not a number."},
    };
    for (const auto& [file, text] : cases) {
        SCOPED_TRACE(file);
        op.clear();
        EXPECT_TRUE(ReadFGR(state, QString::fromLatin1(file), op));
        ASSERT_EQ(op.shown().size(), 1);
        EXPECT_TRUE(op.lastText().endsWith(text)) << op.lastText().toStdString();
        EXPECT_EQ(state.settings.LocationCode.isEmpty(), QByteArray(file) != "Bad.fgr");
    }
}

TEST_F(LocationStore, ListingCreatesTheDefaultLocationOnce) {
    EXPECT_EQ(GetFGR(dir.path(), op), QStringList{QStringLiteral("Configuration 01")});
    EXPECT_EQ(dir.read("Configuration 01.fgr"), QByteArray());
    for (const char* file : {"b.fgr", "A.fgr", "c.txt", "d.fgr/inside"})
        dir.write(QString::fromLatin1(file), "");
    EXPECT_EQ(GetFGR(dir.path(), op), (QStringList{"A", "b", "Configuration 01"}));
    EXPECT_TRUE(op.shown().isEmpty());

    dir.write("plain", "a file, not a folder");
    EXPECT_TRUE(GetFGR(dir.file("plain"), op).isEmpty()); // reports, does not end the program
    ASSERT_EQ(op.shown().size(), 1);
    EXPECT_TRUE(op.lastText().startsWith(QStringLiteral("Cannot create \"")));
}

TEST_F(NewLocation, WritesTheFilesWithDefaultsAndRefusesWhatCannotWork) {
    state.settings.Interval = QStringLiteral("15");
    state.settings.eMACaddress = QStringList{"A", "B", "C", "D", "E", "F"};
    state.settings.eIPaddress = state.settings.eGateway = QStringList{"1", "2", "3", "4"};
    state.settings.eSerialnumber = QStringLiteral("SN1");
    state.eDHCPIPaddress = QStringList{"9", "9", "9", "9"};
    state.HW1Unit[1].Active = true;

    const QString name = QStringLiteral(" Caf\u00e9 \u20ac"); // the file names keep every character
    ASSERT_TRUE(createLocation(state, lan(" Caf\xC3\xA9 \xE2\x82\xAC"), op));
    EXPECT_TRUE(op.shown().isEmpty());
    EXPECT_TRUE(dir.exists(name + "/HW02.ini"));
    const QByteArray fgr = dir.read(name + ".fgr");
    EXPECT_EQ(fgr.mid(fgr.indexOf("\r\n")),
              "\r\n\r\nConnType=2\r\nComport=0\r\nPhoneNumber=\r\nIPnumber=10.0.0.7\r\n"
              "Portnumber=10001\r\n\r\nLocationCode=001\r\nLocationName=Location01\r\n"
              "LocationPlace=Place01\r\nSunday=07002200\r\nMonday=07002200\r\nTuesday=07002200\r\n"
              "Wednesday=07002200\r\nThursday=07002200\r\nFriday=07002200\r\nSaterday=07002200\r\n"
              "Interval=15\r\neIPaddress=...\r\neSubnetmask=\r\neGateway=...\r\neDHCP=0\r\n"
              "ePortnumber=\r\neMACaddress=A:B:C:D:E:F\r\neHostname=\r\neSerialnumber=\r\n"
              "eExt1=\r\neExt2=\r\neExt3=\r\neExt4=\r\n");
    EXPECT_EQ(state.eDHCPIPaddress, QStringList(4, QString()));
    EXPECT_FALSE(state.HW1Unit[1].Active);
    ASSERT_TRUE(createLocation(state, NewLocationRequest{"Serial", 1, "3", "", ""}, op));
    EXPECT_TRUE(dir.read("Serial.fgr").contains("\r\nConnType=1\r\nComport=3\r\n"));

    dir.write("Folder/HW01.ini", "");
    const auto entries = [&] {
        return QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    };
    const QStringList before = entries();
    const GeneralSettings kept = state.settings;
    const std::pair<NewLocationRequest, const char*> cases[] = {
        {lan("a/b"), "cannot hold"},
        {lan("Site", "10.0.0.256"), "is not four numbers"},
        {NewLocationRequest{"Site", 2, "", "10.0.0.1", "0"}, "is not a number 1..65535"},
        {NewLocationRequest{"Site", 1, "", "", ""}, "Choose the Comm port"},
        {NewLocationRequest{"Site", 1, "x", "", ""}, "is not a port number"},
        {lan(" Caf\xC3\xA9 \xE2\x82\xAC"), "already exists"},
        {lan("Folder"), "already in the way"},
    };
    for (const auto& [request, reason] : cases) {
        SCOPED_TRACE(reason);
        op.clear();
        EXPECT_FALSE(createLocation(state, request, op));
        EXPECT_TRUE(op.lastText().contains(QLatin1String(reason))) << op.lastText().toStdString();
        EXPECT_EQ(state.settings, kept);
    }
    EXPECT_EQ(entries(), before);
    EXPECT_EQ(dir.read(name + ".fgr"), fgr);
}

TEST_F(NewLocation, AFailedCreationLeavesTheShownLocationInMemory) {
    state.settings.IPnumber = QStringLiteral("10.1.1.1");
    state.HW1Unit[3].Active = true;
    const SharedState before = state;
    dir.write("plain", "a file where the program directory should be");
    state.programDir = dir.file("plain"); // every write fails
    EXPECT_FALSE(createLocation(state, lan("Elsewhere"), op));
    EXPECT_FALSE(op.shown().isEmpty()); // the writer said why
    EXPECT_EQ(state.settings, before.settings);
    EXPECT_EQ(state.HW1Unit, before.HW1Unit);
}
