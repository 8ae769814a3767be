// The unit simulator's command line and configuration file.
#include "TempDir.h"
#include "UnitSimOptions.h"

#include <gtest/gtest.h>

using namespace nodalyx;
using namespace nodalyx::sim;

namespace {
std::optional<UnitSimOptions> parse(const QStringList& args, QString* error = nullptr) {
    QString e;
    bool help = false;
    return parseUnitSimOptions(args, error ? error : &e, &help);
}
} // namespace

TEST(UnitSimOptions, UnitsFaultsAndTimings) {
    const auto o = parse({"--pty", "/tmp/x", "--unit", "0:1", "--unit", "5:2:A1B2C3D4E5F1",
                          "--fault", "5:no-marker", "--grow-ms", "0", "--late-ms", "1500"});
    ASSERT_TRUE(o);
    EXPECT_EQ(std::tuple(o->ptyLink.toStdString(), o->config.growMs, o->config.lateMs),
              std::tuple(std::string("/tmp/x"), 0, 1500));
    ASSERT_EQ(o->config.units.size(), 2);
    EXPECT_EQ(
        std::tuple(o->config.units[0].type, o->config.units[1].code(), o->config.units[1].fault),
        std::tuple(1, hw::UnitCode{0xA1, 0xB2, 0xC3, 0xD4, 0xE5, 0xF1}, UnitFault::NoMarker));

    const std::pair<QStringList, const char*> mistakes[] = {
        {{"--unit", "0:1"}, "--pty LINK is needed"},
        {{"--pty", "p", "--unit", "64:1"}, "--unit 64:1: expected ADDR:1 or ADDR:2:CODE"},
        {{"--pty", "p", "--fault", "3:late"}, "--fault 3:late: no unit 3 was given"},
        {{"--pty", "p", "--grow-ms", "-1"}, "--grow-ms needs a number of milliseconds, not '-1'"},
        {{"--pty", "p", "--baud", "9600"}, "unknown option '--baud'"},
    };
    for (const auto& [args, text] : mistakes) {
        QString error;
        EXPECT_FALSE(parse(args, &error)) << args.join(' ').toStdString();
        EXPECT_EQ(error.toStdString(), text);
    }
}

TEST(UnitSimOptions, AJsonFileGivesUnitsWithCountersAndFaults) {
    test::TempDir dir;
    dir.write("units.json", R"({"growMs": 250, "units": [
        {"address": 5, "type": 2, "code": "A1B2C3D4E5F1"},
        {"address": 0, "type": 1, "fault": "late", "counters": [1, 2, 3, 99999]}]})");
    const auto o = parse({"--config", dir.file("units.json"), "--pty", "p", "--unit", "5:1"});
    ASSERT_TRUE(o);
    ASSERT_EQ(o->config.units.size(), 2);
    // --unit 5:1 given later replaces the file's unit 5; a counter is kept below the limit
    EXPECT_EQ(std::tuple(o->config.growMs, o->config.units[0].type, o->config.units[1].fault,
                         o->config.units[1].counters),
              std::tuple(250, 1, UnitFault::Late, hw::Counters{1, 2, 3, hw::kCounterLimit - 1}));

    dir.write("bad.json", R"({"units": [{"address": 1, "type": 2, "fault": "loud"}]})");
    QString error;
    EXPECT_FALSE(parse({"--config", dir.file("bad.json"), "--pty", "p"}, &error));
    EXPECT_TRUE(error.endsWith("unit 1: unknown fault \"loud\"")) << error.toStdString();
    EXPECT_FALSE(parse({"--config", dir.file("none.json"), "--pty", "p"}, &error));
}
