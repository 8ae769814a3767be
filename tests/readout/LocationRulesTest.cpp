// The values of a location that the configuration window, the new-location window or the upload
// would not take, each with its rule; and that a location passing them loads into the window and
// saves again without a word.
#include "LocationRules.h"
#include "NewLocation.h"
#include "ReadoutFixtures.h"
#include "ScriptedOperator.h"
#include "SettingsForm.h"

#include <functional>
#include <gtest/gtest.h>

using namespace nodalyx;
using namespace nodalyx::test;

namespace nodalyx {
void PrintTo(const LocationProblem& p, std::ostream* os) {
    *os << problemLine(p).toStdString();
}
} // namespace nodalyx

namespace {

const char* const kText10 = "at most 10 characters";
const char* const kAddress = "four numbers from 0 to 255 separated by dots";
const char* const kLoggerAddress = "four numbers from 0 to 255 separated by dots, or empty";
const char* const kDay = "eight digits hhmmhhmm with times 00:00..23:59";
const char* const kSquare = "cannot hold \"[\" or \"]\": the file's reader skips such a line";

// The location made serial, on the given port.
GeneralSettings& serial(GeneralSettings& g, float port) {
    g.ConnType = 1;
    g.Comport = port;
    return g;
}

struct Row {
    const char* what;
    std::function<void(GeneralSettings&)> edit;
    QList<LocationProblem> expected; // empty: the value is accepted
};

const Row kRows[] = {
    // connection
    {"ConnType 4 (GSM modem)", [](auto& g) { g.ConnType = 4; }, {}},
    {"ConnType 5", [](auto& g) { g.ConnType = 5; }, {{"ConnType", "5", "a number from 0 to 4"}}},
    {"ConnType -1", [](auto& g) { g.ConnType = -1; }, {{"ConnType", "-1", "a number from 0 to 4"}}},
    {"Comport 300 on LAN",
     [](auto& g) { g.Comport = 300; },
     {{"Comport", "300", "0 or a whole number from 1 to 255"}}},
    {"Comport 1.5 on LAN",
     [](auto& g) { g.Comport = 1.5f; },
     {{"Comport", "1.5", "0 or a whole number from 1 to 255"}}},
    {"Comport 0 on LAN", [](auto& g) { g.Comport = 0; }, {}},
    {"Comport 255 serial", [](auto& g) { serial(g, 255); }, {}},
    {"Comport 0 serial",
     [](auto& g) { serial(g, 0); },
     {{"Comport", "0", "a whole number from 1 to 255"}}},
    {"Comport 256 serial",
     [](auto& g) { serial(g, 256); },
     {{"Comport", "256", "a whole number from 1 to 255"}}},
    {"IPnumber empty on LAN", [](auto& g) { g.IPnumber = ""; }, {{"IPnumber", "", kAddress}}},
    {"IPnumber of three parts",
     [](auto& g) { g.IPnumber = "10.0.7"; },
     {{"IPnumber", "10.0.7", kAddress}}},
    {"IPnumber octet 256",
     [](auto& g) { g.IPnumber = "10.0.0.256"; },
     {{"IPnumber", "10.0.0.256", kAddress}}},
    {"IPnumber and Portnumber empty, serial",
     [](auto& g) { serial(g, 3).IPnumber = g.Portnumber = ""; },
     {}},
    {"IPnumber not an address, serial",
     [](auto& g) { serial(g, 3).IPnumber = "host"; },
     {{"IPnumber", "host", kAddress}}},
    {"Portnumber 0 on LAN",
     [](auto& g) { g.Portnumber = "0"; },
     {{"Portnumber", "0", "a number from 1 to 65535"}}},
    {"Portnumber empty on LAN",
     [](auto& g) { g.Portnumber = ""; },
     {{"Portnumber", "", "a number from 1 to 65535"}}},
    {"Portnumber 65535 on LAN", [](auto& g) { g.Portnumber = "65535"; }, {}},
    {"Portnumber 65536, modem",
     [](auto& g) {
         g.ConnType = 3;
         g.Portnumber = "65536";
     },
     {{"Portnumber", "65536", "a number from 0 to 65535"}}},
    // identity
    {"LocationCode of 16 characters",
     [](auto& g) { g.LocationCode = "ABCDEFGHIJKLMNOP"; },
     {{"LocationCode", "ABCDEFGHIJKLMNOP", kText10}}},
    {"LocationCode of 10 characters, Name and Place empty",
     [](auto& g) {
         g.LocationCode = "ABCDEFGHIJ";
         g.LocationName = g.LocationPlace = "";
     },
     {}},
    {"LocationName of 11 characters",
     [](auto& g) { g.LocationName = "Harbourside"; },
     {{"LocationName", "Harbourside", kText10}}},
    {"LocationPlace with a bracket",
     [](auto& g) { g.LocationPlace = "Quay [1"; },
     {{"LocationPlace", "Quay [1", kSquare}}},
    // schedule
    {"Monday 24:00", [](auto& g) { g.Days[1] = "07002400"; }, {{"Monday", "07002400", kDay}}},
    {"Saterday empty", [](auto& g) { g.Days[6] = ""; }, {{"Saterday", "", kDay}}},
    {"Sunday 7:00", [](auto& g) { g.Days[0] = "7:002200"; }, {{"Sunday", "7:002200", kDay}}},
    {"Friday of seven digits",
     [](auto& g) { g.Days[5] = "0700220"; },
     {{"Friday", "0700220", kDay}}},
    {"Thursday 00:00..23:59", [](auto& g) { g.Days[4] = "00002359"; }, {}},
    {"Interval abc",
     [](auto& g) { g.Interval = "abc"; },
     {{"Interval", "abc", "a number from 0 to 255"}}},
    {"Interval 256",
     [](auto& g) { g.Interval = "256"; },
     {{"Interval", "256", "a number from 0 to 255"}}},
    {"Interval 20 (the window shows 30)", [](auto& g) { g.Interval = "20"; }, {}},
    {"Interval 0", [](auto& g) { g.Interval = "0"; }, {}},
    // the logger's own settings
    {"eIPaddress empty (five empty elements, as the reader gives): left out by the upload",
     [](auto& g) { g.eIPaddress = QStringList(5, QString()); },
     {}},
    {"eIPaddress with only its first octet",
     [](auto& g) {
         g.eIPaddress = QStringList{"10", "", "", ""};
     },
     {{"eIPaddress", "10...", kLoggerAddress}}},
    {"eSubnetmask of two elements",
     [](auto& g) {
         g.eSubnetmask = QStringList{"255", "255"};
     },
     {{"eSubnetmask", "", kLoggerAddress}}},
    {"eGateway octet 300",
     [](auto& g) { g.eGateway[2] = "300"; },
     {{"eGateway", "192.168.300.1", kLoggerAddress}}},
    {"eGateway with a fifth part kept in the fourth",
     [](auto& g) { g.eGateway[3] = "1.5"; },
     {{"eGateway", "192.168.1.1.5", kLoggerAddress}}},
    {"eIPaddress 0.0.0.0", [](auto& g) { g.eIPaddress = QStringList(4, "0"); }, {}},
    {"ePortnumber empty (the upload sends 3101)", [](auto& g) { g.ePortnumber = ""; }, {}},
    {"ePortnumber 70000",
     [](auto& g) { g.ePortnumber = "70000"; },
     {{"ePortnumber", "70000", "a number from 0 to 65535"}}},
    {"ePortnumber x",
     [](auto& g) { g.ePortnumber = "x"; },
     {{"ePortnumber", "x", "a number from 0 to 65535"}}},
    {"eHostname of 21 characters",
     [](auto& g) { g.eHostname = "logger-at-the-harbour"; },
     {{"eHostname", "logger-at-the-harbour", "at most 20 characters"}}},
    {"eSerialnumber of 11 characters",
     [](auto& g) { g.eSerialnumber = "NX004200000"; },
     {{"eSerialnumber", "NX004200000", kText10}}},
    {"eExt2 of 7 characters",
     [](auto& g) { g.eExt[1] = "abcdefg"; },
     {{"eExt2", "abcdefg", "at most 6 characters"}}},
    {"eExt4 of 6 characters", [](auto& g) { g.eExt[3] = "abcdef"; }, {}},
    {"eExt3 with a control character",
     [](auto& g) { g.eExt[2] = QString("a") + QChar(1); },
     {{"eExt3", QString("a") + QChar(1), "cannot hold control characters or line breaks"}}},
    // several at once, in the order of the file
    {"the issue's three",
     [](auto& g) {
         g.Interval = "abc";
         g.LocationCode = "ABCDEFGHIJKLMNOP";
         g.Comport = 300;
     },
     {{"Comport", "300", "0 or a whole number from 1 to 255"},
      {"LocationCode", "ABCDEFGHIJKLMNOP", kText10},
      {"Interval", "abc", "a number from 0 to 255"}}},
};

} // namespace

TEST(LocationRulesTest, EachRuleAndItsEdges) {
    EXPECT_EQ(locationProblems(validLocation()), QList<LocationProblem>{});
    for (const Row& row : kRows) {
        SCOPED_TRACE(row.what);
        GeneralSettings g = validLocation();
        row.edit(g);
        EXPECT_EQ(locationProblems(g), row.expected);
    }
}

// What passes the rules also passes the configuration window: it loads without a report, and
// its Save takes the boxes as loaded and gives the same settings back, but for the three combo
// boxes, which show a value they do not offer as their first or default item.
TEST(LocationRulesTest, WhatPassesLoadsIntoTheWindowAndSavesUnchanged) {
    for (const Row& row : kRows) {
        if (!row.expected.isEmpty())
            continue;
        SCOPED_TRACE(row.what);
        SharedState s;
        s.settings = validLocation();
        row.edit(s.settings);
        ScriptedOperator op;
        ConfigurationControls c;
        EXPECT_TRUE(GetGeneralsettings(s, c, op)) << op.lastText().toStdString();
        GeneralSettings expected = s.settings;
        expected.ConnType = qint16(c.CboConnType + 1);
        expected.Comport = c.CboCommport.toFloat();
        expected.Interval = c.CboInterval;
        EXPECT_TRUE(SaveGeneralsettings(s, c, op)) << op.lastText().toStdString();
        EXPECT_EQ(s.settings, expected);
    }
}

// A new location: its own defaults pass (the logger's addresses empty: the upload leaves them
// out); an interval emptied afterwards does not.
TEST(LocationRulesTest, NewLocations) {
    const struct {
        NewLocationRequest request;
        QStringList problemKeys;
    } rows[] = {
        // like the demo: LAN to the simulator, the logger's addresses not filled in yet
        {{"Demo site", 2, "", "127.0.0.1", "3101"}, {}},
        {{"Serial", 1, "3", "", ""}, {}},
        {{"None", 0, "", "", ""}, {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.request.name.toStdString());
        SharedState s;
        s.settings.Interval = "15"; // kept from the location before
        applyNewLocationDefaults(s, row.request);
        QStringList keys;
        for (const LocationProblem& p : locationProblems(s.settings))
            keys << p.key;
        EXPECT_EQ(keys, row.problemKeys);

        s.settings.eIPaddress = QStringList{"192", "168", "1", "10"};
        s.settings.eSubnetmask = QStringList{"255", "255", "255", "0"};
        s.settings.eGateway = QStringList{"192", "168", "1", "1"};
        s.settings.eSerialnumber = "NX0427031"; // the rest as the demo sets it
        s.settings.LocationName = "Demo";
        s.settings.LocationPlace = "Harbour";
        EXPECT_EQ(locationProblems(s.settings), QList<LocationProblem>{});
        s.settings.Interval.clear(); // nothing kept from before
        EXPECT_EQ(locationProblems(s.settings),
                  (QList<LocationProblem>{{"Interval", "", "a number from 0 to 255"}}));
    }
}

TEST(LocationRulesTest, ProblemLine) {
    EXPECT_EQ(problemLine({"Interval", "a\"b", "a number from 0 to 255"}),
              "Interval: \"a\"b\" - a number from 0 to 255");
    EXPECT_EQ(problemLine({"LocationName", "%1 %2", "at most 10 characters"}),
              "LocationName: \"%1 %2\" - at most 10 characters");
}
