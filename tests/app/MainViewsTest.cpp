#include "MainViews.h"

#include <gtest/gtest.h>

using namespace nodalyx;

TEST(RowRule, AddressActiveAndLocation) {
    UnitConfig u;
    u.Name1 = "K1";
    u.Name3 = "K3";
    u.Active = true;
    QStringList row = highwayRowTexts(1, u);
    ASSERT_EQ(row.size(), 12);
    EXPECT_EQ(row[0], "00");
    EXPECT_EQ(row[1], "Yes");
    EXPECT_EQ(row[2], "K1\\K3");

    u.Name3.clear();
    u.Active = false;
    row = highwayRowTexts(64, u);
    EXPECT_EQ(row[0], "63");
    EXPECT_EQ(row[1], "No");
    EXPECT_EQ(row[2], "K1");
    EXPECT_EQ(highwayRowTexts(11, u)[0], "10");
}

TEST(RowRule, UnitCodeGroupedOnlyWhenTwelveCharacters) {
    EXPECT_EQ(unitCodeText("0123456789AB"), "0123-4567-89AB");
    EXPECT_EQ(unitCodeText("0123456789A"), "");
    EXPECT_EQ(unitCodeText("0123456789ABC"), "");
    EXPECT_EQ(unitCodeText("            "), ""); // twelve blanks
    EXPECT_EQ(unitCodeText(""), "");
}

TEST(RowRule, ZeroColumnsShowEmptyAndCountsStartEmpty) {
    UnitConfig u;
    u.Col1 = "5";
    u.Col2 = "0";
    u.Col3 = "7";
    u.Col4 = "00"; // only the text "0" is hidden
    u.In1 = "12";  // counts are never shown by the row rule
    const QStringList row = highwayRowTexts(3, u);
    EXPECT_EQ(row.mid(4, 4), QStringList({"5", "", "7", "00"}));
    EXPECT_EQ(row.mid(8), QStringList({"", "", "", ""}));
}

TEST(RowRule, TestListRow) {
    UnitConfig u;
    u.Active = true;
    u.Name1 = "Gate";
    u.HWaddress = "AAAABBBBCCCC";
    u.Col1 = "9";
    const QStringList row = testRowTexts(2, u);
    ASSERT_EQ(row.size(), 18);
    EXPECT_EQ(row.mid(0, 4), QStringList({"01", "Yes", "Gate", "AAAA-BBBB-CCCC"}));
    EXPECT_EQ(row.mid(4, 6), QStringList({"0", "0", "0", "0", "0", "0"}));
    EXPECT_EQ(row.mid(10), QStringList(8, QString()));
}

TEST(ConnectionText, EachConnectionType) {
    GeneralSettings s;
    s.Comport = 3;
    s.IPnumber = "10.0.0.7";
    s.Portnumber = "10001";
    s.PhoneNumber = "0612345678";
    s.ConnType = 1;
    EXPECT_EQ(connectionText(s), "Direct connect, comport: 3");
    s.ConnType = 2;
    EXPECT_EQ(connectionText(s), "Lan: 10.0.0.7:10001");
    s.ConnType = 3;
    EXPECT_EQ(connectionText(s), "Modem analoge. Phonenumber: 0612345678");
    s.ConnType = 4;
    EXPECT_EQ(connectionText(s), "Modem GSM. Phonenumber: 0612345678");
    s.ConnType = 0;
    EXPECT_EQ(connectionText(s), std::nullopt);
    s.ConnType = 5;
    EXPECT_EQ(connectionText(s), std::nullopt);
}
