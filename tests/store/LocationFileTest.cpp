#include "Fixtures.h"
#include "LocationFileCodec.h"
#include "LocationStore.h"

#include <QRegularExpression>
#include <gtest/gtest.h>

using namespace nodalyx;

namespace {

const char kHeader[] = "Site: configuration file for VeraDazadizaro 06-12-2026 08:15\r\n";

QString body(const GeneralSettings& s, int index) {
    return locationBodyLines(s).at(index);
}

} // namespace

using LocationStore = StoreTest;

TEST(LocationFile, ReadsAndWritesBackByteForByte) {
    const QByteArray kSiteFile = fixture("Site.fgr");
    GeneralSettings s;
    const LocationReadResult result = decodeLocationFile(kSiteFile, s);
    ASSERT_TRUE(result.headerOk);
    ASSERT_FALSE(result.failure);
    EXPECT_EQ(s.LocationName, QStringLiteral("Caf\u00e9 Noord"));
    EXPECT_TRUE(s.eDHCP);
    EXPECT_EQ(encodeLocationFile(s, QString::fromLatin1(kHeader).chopped(2)), kSiteFile);
    EXPECT_EQ(body(s, 2), QStringLiteral("Comport=1.5"));
}

TEST(LocationFile, LinesAreTakenApartLikeTheOldReader) {
    GeneralSettings s;
    s.Interval = QStringLiteral("60");
    const QByteArray file = "  \r\n\r\nmy site: CONFIGURATION file for veradazadizaro\r\n"
                            "connType=3\r\nLocationName = Big  Hall {main entrance}\r\n"
                            "LocationPlace=Ams\tter\tdam\r\n[Section]=x\r\n   \r\n"
                            "eIPaddress=10.0.0\r\neMACaddress=\r\neGateway=\r\n"
                            "eSubnetmask=1.2.3.4.5\r\nedhcp=True\r\nNonsense=1\r\nconnType=4\r\n";
    const LocationReadResult result = decodeLocationFile(file, s);
    ASSERT_TRUE(result.headerOk);
    ASSERT_FALSE(result.failure) << result.failure->reason.toStdString();
    EXPECT_EQ(s.ConnType, 4);
    EXPECT_EQ(s.LocationName, QStringLiteral("Big  Hall"));
    EXPECT_EQ(s.LocationPlace, QStringLiteral("Amsterdam"));
    EXPECT_EQ(s.Interval, QStringLiteral("60")); // absent keys keep their values
    EXPECT_TRUE(s.eDHCP);
    EXPECT_EQ(s.eMACaddress, QStringList(7, QString()));
    EXPECT_EQ(body(s, 18), QStringLiteral("eIPaddress=")); // three octets: key alone
    EXPECT_EQ(body(s, 19), QStringLiteral("eSubnetmask=1.2.3.4.5"));
    EXPECT_EQ(body(s, 20), QStringLiteral("eGateway=..."));
    EXPECT_EQ(body(s, 23), QStringLiteral("eMACaddress=:::::"));
}

TEST(LocationFile, HeaderDecidesWhetherAnythingIsRead) {
    GeneralSettings s;
    s.LocationCode = QStringLiteral("keep");
    EXPECT_TRUE(decodeLocationFile(QByteArray(), s).headerOk); // an empty file made new
    EXPECT_FALSE(decodeLocationFile("\r\nSite: configuration\r\nLocationCode=9\r\n", s).headerOk);
    EXPECT_EQ(s.LocationCode, QStringLiteral("keep"));
}

TEST(LocationFile, ReadingStopsAtTheFirstBadLine) {
    const std::pair<const char*, const char*> cases[] = {
        {"[Section]", "the line has no \"=\""},
        {"LocationName", "the line has no \"=\""},
        {"a{b=c", "the \"{\" comes before the \"=\""},
        {"ConnType=abc", "ConnType value \"abc\" is not a number"},
        {"ConnType=40000", "ConnType value 40000 is out of range -32768..32767"},
        {"Comport=x", "Comport value \"x\" is not a number"},
        {"eDHCP=maybe", "eDHCP value \"maybe\" is neither a number nor True or False"},
    };
    for (const auto& [line, reason] : cases) {
        GeneralSettings s;
        const QByteArray file =
            QByteArray(kHeader) + "LocationCode=7\r\n" + line + "\r\nLocationName=after\r\n";
        const LocationReadResult result = decodeLocationFile(file, s);
        ASSERT_TRUE(result.failure) << line;
        EXPECT_EQ(result.failure->line, 3) << line;
        EXPECT_EQ(result.failure->reason, QString::fromLatin1(reason));
        EXPECT_EQ(s.LocationCode, QStringLiteral("7"));
        EXPECT_TRUE(s.LocationName.isEmpty());
    }
}

TEST_F(LocationStore, WriteKeepsTheOldFileAsBackupAndReadsBack) {
    state.settings.LocationName = QStringLiteral("Caf\u00e9");
    state.settings.eIPaddress = state.settings.eGateway = state.settings.eSubnetmask =
        QStringList{"10", "0", "0", "1"};
    state.settings.eMACaddress = QStringList(6, QStringLiteral("AB"));
    ASSERT_TRUE(WriteFGR(state, QStringLiteral("Site"), op));
    const QByteArray first = dir.read("Site.fgr");
    EXPECT_TRUE(first.contains("\r\nLocationName=Caf\xE9\r\n"));
    EXPECT_EQ(first.count("\r\n"), 31);
    const QString header = QString::fromLatin1(first.left(first.indexOf('\r')));
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^Site: configuration file for VeraDazadizaro .+ "
                                                  "[0-2][0-9]:[0-5][0-9]$"))
                    .match(header)
                    .hasMatch())
        << header.toStdString();

    state.settings.ConnType = 2;
    ASSERT_TRUE(WriteFGR(state, QStringLiteral("Site"), op));
    EXPECT_EQ(dir.read("Site.bak"), first);

    SharedState again;
    again.programDir = dir.path();
    EXPECT_TRUE(ReadFGR(again, QStringLiteral("Site.fgr"), op));
    EXPECT_EQ(again.settings, state.settings);
    const QString longest(100, QLatin1Char('n'));
    EXPECT_TRUE(WriteFGR(state, longest, op) && ReadFGR(again, longest + ".fgr", op));
    EXPECT_EQ(op.shown().size(), 0);
    EXPECT_EQ(op.busyDepth(), 0);
}

TEST_F(LocationStore, FilesThatAreNoLocationFilesAreReportedAndNotRead) {
    dir.write("Zero.fgr", QByteArray(kHeader) + "LocationCode=1\r\n" + QByteArray(3, '\0'));
    dir.write("Big.fgr", QByteArray(kHeader) + QByteArray(1024 * 1024, 'x'));
    dir.write("Bad.fgr", QByteArray(kHeader) + "LocationCode=1\r\nConnType=abc\r\n");
    // Only the bad line's file is read up to that line.
    const std::pair<const char*, QString> cases[] = {
        {"Missing.fgr", "Missing.fgr\": the file does not exist."},
        {"Zero.fgr", "Zero.fgr\": the file is not text (it holds NUL bytes)."},
        {"Big.fgr", "Big.fgr\": the file is larger than 1 MiB, so it is not a configuration "
                    "file."},
        {"Bad.fgr", "Bad.fgr\" line 3: ConnType value \"abc\" is not a number."},
        {"../x.fgr", "The name \"../x\" cannot hold \"/\" or \"\\\"."},
    };
    for (const auto& [file, text] : cases) {
        test::ScriptedOperator op; // fresh for each case
        SharedState state;
        state.programDir = dir.path();
        EXPECT_TRUE(ReadFGR(state, QString::fromLatin1(file), op));
        ASSERT_EQ(op.shown().size(), 1) << file;
        EXPECT_TRUE(op.lastText().endsWith(text)) << op.lastText().toStdString();
        EXPECT_EQ(state.settings.LocationCode.isEmpty(), QByteArray(file) != "Bad.fgr");
    }
}

TEST_F(LocationStore, AFailedWriteLeavesWhatWasThereAndSaysWhy) {
    dir.write("Site.fgr/keep.txt", "old");
    EXPECT_FALSE(WriteFGR(state, QStringLiteral("Site"), op));
    EXPECT_EQ(dir.read("Site.fgr/keep.txt"), QByteArray("old"));
    EXPECT_EQ(op.lastText(), QStringLiteral("Cannot write \"%1/Site.fgr\": a folder of that name "
                                            "is in the way.")
                                 .arg(dir.path()));
    state.programDir = dir.file("missing");
    EXPECT_FALSE(WriteFGR(state, QStringLiteral("Site"), op));
    EXPECT_FALSE(dir.exists("missing"));
    EXPECT_FALSE(WriteFGR(state, QStringLiteral("CON"), op));
    EXPECT_EQ(op.shown().size(), 3);
    EXPECT_EQ(op.busyDepth(), 0);
}

TEST_F(LocationStore, ListingCreatesTheDefaultLocationOnce) {
    EXPECT_EQ(GetFGR(dir.path(), op), QStringList{QStringLiteral("Configuration 01")});
    EXPECT_EQ(dir.read("Configuration 01.fgr"), QByteArray());
    dir.write("b.fgr", "");
    dir.write("A.fgr", "");
    dir.write("c.txt", "");
    dir.write("d.fgr/inside", "");
    EXPECT_EQ(GetFGR(dir.path(), op), (QStringList{QStringLiteral("A"), QStringLiteral("b"),
                                                   QStringLiteral("Configuration 01")}));
    EXPECT_TRUE(op.shown().isEmpty());

    dir.write("plain", "a file, not a folder");
    EXPECT_TRUE(GetFGR(dir.file("plain"), op).isEmpty()); // reports, does not end the program
    ASSERT_EQ(op.shown().size(), 1);
    EXPECT_TRUE(op.lastText().startsWith(QStringLiteral("Cannot create \"")));
}
