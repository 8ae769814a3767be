// The configuration window's load and save rules on the controls as data, and the checks that
// keep Save from storing what the logger, the upload or the location file cannot take.
#include "FormChecks.h"
#include "LinkHarness.h"
#include "ReadoutFixtures.h"
#include "SettingsForm.h"

#include <gtest/gtest.h>

using namespace nodalyx;
using namespace nodalyx::test;

namespace {

SharedState location() {
    SharedState s;
    s.settings = validLocation();
    return s;
}

ConfigurationControls loaded(const SharedState& s, ScriptedOperator& op) {
    ConfigurationControls c;
    GetGeneralsettings(s, c, op);
    return c;
}

} // namespace

TEST(SettingsFormTest, LoadRules) {
    ScriptedOperator op;
    SharedState s = location();
    const struct {
        qint16 connType;
        float comport;
        int item;
        const char* port;
    } rows[] = {{1, 0, 0, "1"},     {2, 20, 1, "20"}, {4, 16, 0, "16"},
                {1, 255, 0, "255"}, {1, 256, 0, "1"}, {0, -1, 0, "1"}};
    for (const auto& row : rows) {
        s.settings.ConnType = row.connType;
        s.settings.Comport = row.comport;
        const ConfigurationControls c = loaded(s, op);
        EXPECT_EQ(c.CboConnType, row.item) << row.connType;
        EXPECT_EQ(c.CboCommport, row.port) << row.comport;
    }
    s.settings.Days[1] = "07302215";
    s.settings.Days[6].clear();
    s.settings.Interval = "20";
    const ConfigurationControls c = loaded(s, op);
    EXPECT_EQ(
        (QStringList{c.txtIPaddress[7], c.txtIPaddress[6], c.txtIPaddress[5], c.txtIPaddress[4]}),
        QStringList({"10", "0", "0", "7"}));
    EXPECT_EQ(c.txtIPaddress[0], "192");
    EXPECT_EQ(c.txtStart[1], "07:30");
    EXPECT_EQ(c.txtStop[1], "22:15");
    EXPECT_EQ(c.txtStart[6], ""); // an empty day shows empty boxes
    EXPECT_EQ(c.CboInterval, "30");
    EXPECT_EQ(s.settings.Interval, "20"); // the field itself is not changed
    EXPECT_TRUE(op.shown().isEmpty()) << op.lastText().toStdString();
}

TEST(SettingsFormTest, SaveRules) {
    // A load and save that changes nothing: the location rules' test, for every valid value.
    ScriptedOperator op;
    SharedState s = location();
    ConfigurationControls c = loaded(s, op);
    c.txtIPaddress[7].clear(); // box 7 empty: IPnumber stays, whatever 4..6 hold
    c.txtIPaddress[6] = "99";
    c.CboInterval = "60";
    c.CboConnType = 0;
    c.CboCommport = "12";
    c.txtStart[2] = "06:45";
    c.txtStop[6] = c.txtStart[6] = "";
    c.txtDHCP = {"192", "168", "1", "77"};
    ASSERT_TRUE(SaveGeneralsettings(s, c, op));
    EXPECT_EQ(s.settings.IPnumber, "10.0.0.7");
    EXPECT_EQ(s.settings.Interval, "60");
    EXPECT_EQ(s.settings.ConnType, 1);
    EXPECT_EQ(s.settings.Comport, 12.0f);
    EXPECT_EQ(s.settings.Days[2], "06452200");
    EXPECT_EQ(s.settings.Days[6], "");
    EXPECT_EQ(s.eDHCPIPaddress, QStringList({"192", "168", "1", "77"}));

    // A list shorter than four keeps only what fits while the boxes beyond it are empty; a box
    // beyond it with text (read from the logger, say) makes it four elements long.
    s.settings.eSubnetmask = QStringList{"255", "255"};
    s.settings.eGateway = QStringList{};
    c = loaded(s, op);
    c.txtSubnetmask[0] = "254";
    c.txtGateway = {"10", "0", "0", "1"};
    ASSERT_TRUE(SaveGeneralsettings(s, c, op));
    EXPECT_EQ(s.settings.eSubnetmask, QStringList({"254", "255"}));
    EXPECT_EQ(s.settings.eGateway, QStringList({"10", "0", "0", "1"}));
    EXPECT_TRUE(op.shown().isEmpty()) << op.lastText().toStdString();
}

TEST(SettingsFormTest, SaveRefusesWhatCannotBeStoredAndStoresNothing) {
    const struct {
        std::function<void(ConfigurationControls&)> edit;
        const char* message;
    } rows[] = {
        {[](auto& c) { c.txtStart[1] = "7:00"; },
         "Start time of Monday must be HH:MM, for example 07:00."},
        {[](auto& c) { c.txtStop[6] = "24:00"; },
         "Stop time of Saterday must be HH:MM, for example 22:00."},
        {[](auto& c) { c.txtStop[3] = "12:60"; },
         "Stop time of Wednesday must be HH:MM, for example 22:00."},
        {[](auto& c) { c.txtIPaddress[2] = "300"; },
         "Octet 3 of the remote IP address must be a number from 0 to 255."},
        {[](auto& c) { c.txtIPaddress[5] = ""; },
         "Octet 3 of the local IP address must be a number from 0 to 255."},
        {[](auto& c) { c.txtGateway[3] = "1x"; },
         "Octet 4 of the Gateway must be a number from 0 to 255."},
        {[](auto& c) { c.txtPortNumber = "70000"; },
         "Remote port number must be a number from 0 to 65535."},
        {[](auto& c) { c.txtPortNumber1 = "65536"; },
         "Local port number must be a number from 0 to 65535."},
        {[](auto& c) { c.txtName = "A{B"; },
         "Location Name cannot hold \"{\": the file's reader takes it as a comment."},
        {[](auto& c) { c.txtExt[2] = QString("a") + QChar(0) + "b"; },
         "KVR file copy to 3 cannot hold control characters or line breaks."},
    };
    for (const auto& row : rows) {
        ScriptedOperator op;
        SharedState s = location();
        const GeneralSettings before = s.settings;
        ConfigurationControls c = loaded(s, op);
        c.txtCode = "Changed";
        row.edit(c);
        EXPECT_FALSE(SaveGeneralsettings(s, c, op)) << row.message;
        EXPECT_EQ(op.messages(), QStringList(row.message));
        EXPECT_EQ(s.settings, before) << row.message;
    }
    // Empty remote boxes and ports stay allowed: Save stores them empty as it always did.
    ScriptedOperator op;
    SharedState s = location();
    ConfigurationControls c = loaded(s, op);
    c.txtIPaddress[1] = c.txtPortNumber = c.txtPortNumber1 = "";
    c.txtIPaddress[0] = "0";
    c.txtPortNumber = "65535";
    EXPECT_EQ(checkControls(c), "");
}

TEST(SettingsFormTest, AFieldNoBoxCanShowIsReportedKeptAndTheRestStillFilled) {
    ScriptedOperator op;
    SharedState s = location();
    s.settings.IPnumber = "10.0.7"; // three parts
    s.settings.LocationName = "A name too long";
    s.settings.eIPaddress[1] = "1680";
    ConfigurationControls c;
    EXPECT_FALSE(GetGeneralsettings(s, c, op));
    ASSERT_EQ(op.shown().size(), 1);
    for (const char* part : {"IPnumber \"10.0.7\" is not four numbers", "eIPaddress(1) \"1680\"",
                             "LocationName \"A name too long\" is longer than its box (10 "
                             "characters)."})
        EXPECT_TRUE(op.lastText().contains(part)) << part;
    EXPECT_EQ(c.txtIPaddress[7], "");       // left empty,
    EXPECT_EQ(c.txtName, "A name too");     // or cut to fit,
    EXPECT_EQ(c.txtSerialNumber, "NX0042"); // and every box after them filled
    EXPECT_EQ(c.CboInterval, "15");

    // Save keeps what no box showed whole and stores the rest.
    const GeneralSettings before = s.settings;
    c.txtCode = "New";
    ASSERT_TRUE(SaveGeneralsettings(s, c, op));
    GeneralSettings expected = before;
    expected.LocationCode = "New";
    EXPECT_EQ(s.settings, expected);

    // A box filled anew is stored again; the local address boxes count as one.
    c.txtName = "Short";
    c.txtIPaddress[7] = "172";
    c.txtIPaddress[6] = "16";
    c.txtIPaddress[5] = "0";
    c.txtIPaddress[4] = "9";
    fillAnew(c, {Box::Name});
    fillAnew(c, {Box::IPaddress, 5});
    ASSERT_TRUE(SaveGeneralsettings(s, c, op));
    EXPECT_EQ(s.settings.LocationName, "Short");
    EXPECT_EQ(s.settings.IPnumber, "172.16.0.9");
    EXPECT_EQ(s.settings.eIPaddress, before.eIPaddress); // still kept
}
