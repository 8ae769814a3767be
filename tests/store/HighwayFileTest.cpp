#include "Fixtures.h"
#include "HighwayFileCodec.h"
#include "HighwayStore.h"

using namespace nodalyx;

const QByteArray kHeader = "[Datalogger Configuration HW01]\r\n";

using HighwayStore = StoreTest;

TEST(HighwayFile, ReadsAndWritesBackByteForByte) {
    for (int highway : {1, 2}) {
        UnitTable table;
        const HighwayReadResult result = decodeHighwayFile(highwayFixture(highway), highway, table);
        ASSERT_TRUE(result.headerOk && !result.failure);
        EXPECT_EQ(table[6].Name1, QStringLiteral("Caf\u00e9"));
        EXPECT_EQ(table[64].Name3, QStringLiteral("Gate"));
        EXPECT_EQ(encodeHighwayFile(highway, table), highwayFixture(highway));
        EXPECT_FALSE(decodeHighwayFile(highwayFixture(highway), 3 - highway, table).headerOk);
    }
}

TEST(HighwayFile, AddressLinesChooseTheEntry) {
    UnitTable t;
    EXPECT_TRUE(decodeHighwayFile("", 1, t).headerOk); // no header to miss
    const HighwayReadResult r = decodeHighwayFile(
        kHeader.toLower() + "Name1=before any address\r\n"
                            "Address=00\r\nName1=first\r\n"
                            "Address=05\r\n\tNa\tme2 = fif\tth {comment}\r\nname1=fifth again\r\n"
                            "Address=63\r\nACTIVE=True\r\nCor1=100\r\nNoSuchKey=1\r\n"
                            "Address=3.5\r\nName1=rounded to even\r\n"
                            "Address=-1\r\nName2=entry zero\r\n",
        1, t);
    ASSERT_FALSE(r.failure) << r.failure->reason.toStdString();
    // Entry 0 takes what comes before any address and address -1; 3.5 + 1 rounds to 4.
    EXPECT_EQ((QStringList{t[0].Name1, t[0].Name2, t[1].Name1, t[6].Name1, t[6].Name2, t[4].Name1}),
              (QStringList{"before any address", "entry zero", "first", "fifth again", "fifth",
                           "rounded to even"}));
    EXPECT_TRUE(t[64].Active);
    EXPECT_EQ(t[2], UnitConfig());
}

TEST(HighwayFile, ReadingStopsAtTheFirstBadValue) {
    const std::pair<const char*, const char*> cases[] = {
        {"Cor1=300", "Cor1 value 300 is out of range 0..255"},
        {"HWtype=abc", "HWtype value \"abc\" is not a number"},
        {"Active=maybe", "Active value \"maybe\" is neither a number nor True or False"},
        {"Address=64\r\nName1=x", "address 64 puts the unit outside 00..63"},
        {"Address=-2\r\nName1=x", "address -2 puts the unit outside 00..63"},
        {"Address=x", "Address value \"x\" is not a number"},
    };
    for (const auto& [lines, reason] : cases) {
        SCOPED_TRACE(lines);
        UnitTable t;
        const HighwayReadResult r = decodeHighwayFile(
            kHeader + "Address=01\r\nName1=kept\r\n" + lines + "\r\nName2=never\r\n", 1, t);
        ASSERT_TRUE(r.failure);
        EXPECT_EQ(r.failure->reason, QString::fromLatin1(reason));
        EXPECT_EQ(r.failure->line, QByteArray(lines).count('\n') + 4);
        EXPECT_EQ(t[2].Name1, QStringLiteral("kept"));
        EXPECT_TRUE(t[2].Name2.isEmpty());
    }
}

TEST_F(HighwayStore, WritersKeepBackupsAndReadersStartFromDefaults) {
    dir.write("Site/HW01.ini", "old one");
    dir.write("Site/HW02.bak", "older"); // no HW02.ini: nothing replaces this backup
    state.HW1Unit[3].Entrancewidth4 = state.HW2Unit[3].Entrancewidth4 = QString();
    ASSERT_TRUE(WriteHW01(state, QStringLiteral("Site"), op) &&
                WriteHW02(state, QStringLiteral("Site"), op));
    EXPECT_EQ(dir.read("Site/HW01.bak"), QByteArray("old one"));
    EXPECT_EQ(dir.read("Site/HW02.bak"), QByteArray("older"));
    EXPECT_TRUE(state.HW1Unit[3].Entrancewidth4.isEmpty());
    EXPECT_EQ(state.HW2Unit[3].Entrancewidth4, QStringLiteral("6"));
    EXPECT_EQ(dir.read("Site/HW01.ini"), encodeHighwayFile(1, state.HW1Unit));
    EXPECT_EQ(dir.read("Site/HW02.ini").count("\r\nEntrancewidth4=6\r\n"), 64);
    EXPECT_TRUE(op.shown().isEmpty());

    dir.write("Bad/HW01.ini", "\r\n" + kHeader + "Address=00\r\nName2=read\r\n");
    dir.write("Bad/HW02.ini", "[Datalogger Configuration HW02]\r\nAddress=00\r\nCor1=300\r\n");
    state.HW1Unit[1].Name1 = state.HW2Unit[1].Name1 = QStringLiteral("from before");
    state.HW1Unit[1].In1 = QStringLiteral("12");
    EXPECT_FALSE(ReadHW01(state, QStringLiteral("Bad"), op));
    EXPECT_EQ(op.lastText(), QStringLiteral("Fout in lezen HW01.ini"));
    EXPECT_EQ(state.HW1Unit[1].In1, QStringLiteral("12")); // live counts survive a reset
    EXPECT_TRUE(ReadHW02(state, QStringLiteral("Bad"), op));
    EXPECT_EQ(op.lastText(), "\"" + dir.file("Bad/HW02.ini") +
                                 "\" line 3: Cor1 value 300 is out of range 0..255.");
    EXPECT_TRUE(state.HW1Unit[1].Name1.isEmpty() && state.HW2Unit[1].Name1.isEmpty());
    EXPECT_TRUE(state.HW1Unit[1].Name2.isEmpty()); // not read past a missing header
    EXPECT_EQ(op.shown().size(), 2);
}
