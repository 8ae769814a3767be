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
const char* const kPort = "a number from 0 to 65535";
const char* const kByte = "a number from 0 to 255";

// The location made serial, on the given port.
GeneralSettings& serial(GeneralSettings& g, float port) {
    g.ConnType = 1;
    g.Comport = port;
    return g;
}

struct Row {
    std::function<void(GeneralSettings&)> edit;
    const char* key = nullptr; // null: the value is accepted
    QString value{};
    const char* rule = nullptr;
};

const Row kRows[] = {
    // connection
    {[](auto& g) { g.ConnType = 4; }}, // GSM modem
    {[](auto& g) { g.ConnType = 5; }, "ConnType", "5", "a number from 0 to 4"},
    {[](auto& g) { g.Comport = 300; }, "Comport", "300", "0 or a whole number from 1 to 255"},
    {[](auto& g) { g.Comport = 1.5f; }, "Comport", "1.5", "0 or a whole number from 1 to 255"},
    {[](auto& g) { serial(g, 255); }},
    {[](auto& g) { serial(g, 0); }, "Comport", "0", "a whole number from 1 to 255"},
    {[](auto& g) { g.IPnumber = "10.0.7"; }, "IPnumber", "10.0.7", kAddress},
    {[](auto& g) { g.IPnumber = "10.0.0.256"; }, "IPnumber", "10.0.0.256", kAddress},
    {[](auto& g) { serial(g, 3).IPnumber = g.Portnumber = ""; }},
    {[](auto& g) { serial(g, 3).IPnumber = "host"; }, "IPnumber", "host", kAddress},
    {[](auto& g) { g.Portnumber = "0"; }, "Portnumber", "0", "a number from 1 to 65535"},
    {[](auto& g) { g.Portnumber = "65535"; }},
    {[](auto& g) { g.ConnType = 3, g.Portnumber = "65536"; }, "Portnumber", "65536", kPort},
    // identity
    {[](auto& g) { g.LocationCode = "ABCDEFGHIJ", g.LocationName = g.LocationPlace = ""; }},
    {[](auto& g) { g.LocationName = "Harbourside"; }, "LocationName", "Harbourside", kText10},
    {[](auto& g) { g.LocationPlace = "Quay [1"; }, "LocationPlace", "Quay [1",
     "cannot hold \"[\" or \"]\": the file's reader skips such a line"},
    // schedule
    {[](auto& g) { g.Days[1] = "07002400"; }, "Monday", "07002400", kDay},
    {[](auto& g) { g.Days[5] = "0700220"; }, "Friday", "0700220", kDay},
    {[](auto& g) { g.Days[0] = "7:002200"; }, "Sunday", "7:002200", kDay},
    {[](auto& g) { g.Days[4] = "00002359"; }},
    {[](auto& g) { g.Interval = "256"; }, "Interval", "256", kByte},
    {[](auto& g) { g.Interval = "20"; }}, // the window shows 30
    // the logger's own settings; empty ones (five empty elements, as the reader gives) are left
    // out by the upload, an empty port is sent as 3101
    {[](auto& g) { g.eIPaddress = QStringList(5, QString()); }},
    {[](auto& g) {
         g.eIPaddress = {"10", "", "", ""};
     },
     "eIPaddress", "10...", kLoggerAddress},
    {[](auto& g) {
         g.eSubnetmask = {"255", "255"};
     },
     "eSubnetmask", "", kLoggerAddress},
    {[](auto& g) { g.eGateway[2] = "300"; }, "eGateway", "192.168.300.1", kLoggerAddress},
    {[](auto& g) { g.eGateway[3] = "1.5"; }, "eGateway", "192.168.1.1.5", kLoggerAddress},
    {[](auto& g) { g.ePortnumber = ""; }},
    {[](auto& g) { g.ePortnumber = "70000"; }, "ePortnumber", "70000", kPort},
    {[](auto& g) { g.eHostname = "logger-at-the-harbour"; }, "eHostname", "logger-at-the-harbour",
     "at most 20 characters"},
    {[](auto& g) { g.eSerialnumber = "NX004200000"; }, "eSerialnumber", "NX004200000", kText10},
    {[](auto& g) { g.eExt[1] = "abcdefg"; }, "eExt2", "abcdefg", "at most 6 characters"},
    {[](auto& g) { g.eExt[3] = "abcdef"; }},
    {[](auto& g) { g.eExt[2] = QString("a") + QChar(1); }, "eExt3", QString("a") + QChar(1),
     "cannot hold control characters or line breaks"},
};

} // namespace

TEST(LocationRulesTest, EachRuleAndItsEdges) {
    EXPECT_EQ(locationProblems(validLocation()), QList<LocationProblem>{});
    for (const Row& row : kRows) {
        SCOPED_TRACE(&row - kRows);
        GeneralSettings g = validLocation();
        row.edit(g);
        QList<LocationProblem> expected;
        if (row.key)
            expected = {{row.key, row.value, row.rule}};
        EXPECT_EQ(locationProblems(g), expected);
    }
    // several at once, in the order of the file
    GeneralSettings g = validLocation();
    g.Interval = "abc";
    g.LocationCode = "ABCDEFGHIJKLMNOP";
    g.Comport = 300;
    EXPECT_EQ(locationProblems(g),
              (QList<LocationProblem>{{"Comport", "300", "0 or a whole number from 1 to 255"},
                                      {"LocationCode", "ABCDEFGHIJKLMNOP", kText10},
                                      {"Interval", "abc", kByte}}));
}

// What passes the rules also passes the configuration window: it loads without a report, and
// its Save takes the boxes as loaded and gives the same settings back, but for the three combo
// boxes, which show a value they do not offer as their first or default item.
TEST(LocationRulesTest, WhatPassesLoadsIntoTheWindowAndSavesUnchanged) {
    for (const Row& row : kRows) {
        if (row.key)
            continue;
        SCOPED_TRACE(&row - kRows);
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

// A new location's own defaults pass (the logger's addresses empty: the upload leaves them out)
// whatever its connection; an interval emptied afterwards does not.
TEST(LocationRulesTest, NewLocations) {
    // (a LAN one: the upload's test of a new location)
    const NewLocationRequest requests[] = {{"Serial", 1, "3", "", ""}, {"None", 0, "", "", ""}};
    for (const NewLocationRequest& request : requests) {
        SCOPED_TRACE(request.name.toStdString());
        SharedState s;
        s.settings.Interval = "15"; // kept from the location before
        applyNewLocationDefaults(s, request);
        EXPECT_EQ(locationProblems(s.settings), QList<LocationProblem>{});
        s.settings.Interval.clear(); // nothing kept from before
        EXPECT_EQ(locationProblems(s.settings), (QList<LocationProblem>{{"Interval", "", kByte}}));
    }
}

TEST(LocationRulesTest, ProblemLine) {
    EXPECT_EQ(problemLine({"Interval", "a\"b", kByte}),
              "Interval: \"a\"b\" - a number from 0 to 255");
    EXPECT_EQ(problemLine({"LocationName", "%1 %2", kText10}),
              "LocationName: \"%1 %2\" - at most 10 characters");
}
