#include "StartupOptions.h"

#include <gtest/gtest.h>

using namespace nodalyx;

TEST(ServiceModeRule, SwitchAmongTheFirstFourArguments) {
    EXPECT_TRUE(serviceModeFromCommandLine("a /s"));
    EXPECT_TRUE(serviceModeFromCommandLine("/S"));
    EXPECT_TRUE(serviceModeFromCommandLine("-s"));
    EXPECT_TRUE(serviceModeFromCommandLine("xs"));
    EXPECT_TRUE(serviceModeFromCommandLine("a b c /S"));
    EXPECT_TRUE(serviceModeFromCommandLine("   /s   ")); // blanks at the ends are removed
}

TEST(ServiceModeRule, OtherwiseOff) {
    EXPECT_FALSE(serviceModeFromCommandLine(""));
    EXPECT_FALSE(serviceModeFromCommandLine("a b c d /S")); // fifth argument
    EXPECT_FALSE(serviceModeFromCommandLine("S"));
    EXPECT_FALSE(serviceModeFromCommandLine("/SERVICE"));
    EXPECT_FALSE(serviceModeFromCommandLine("/x"));
}

TEST(ServiceModeRule, DoubleBlanksMakeEmptyWordsThatCount) {
    // "a", "", "", "b" are words 1..4: the switch behind them is the fifth word.
    EXPECT_FALSE(serviceModeFromCommandLine("a   b /s"));
    EXPECT_TRUE(serviceModeFromCommandLine("a  /s"));
}

TEST(StartupOptions, DirectoryOptionsAreTakenOutBeforeTheRule) {
    StartupOptions o = parseStartupOptions({"--dir", "/tmp/x y", "/s"});
    EXPECT_EQ(o.dir, "/tmp/x y");
    EXPECT_TRUE(o.serviceMode);
    EXPECT_TRUE(o.error.isEmpty());

    // --dir and its value do not count as arguments of the rule.
    o = parseStartupOptions({"a", "--dir", "d", "b", "c", "/s"});
    EXPECT_EQ(o.dir, "d");
    EXPECT_TRUE(o.serviceMode);

    o = parseStartupOptions({"--dir=/data", "--screenshot", "shots", "S"});
    EXPECT_EQ(o.dir, "/data");
    EXPECT_EQ(o.screenshotDir, "shots");
    EXPECT_FALSE(o.serviceMode);

    // A directory named "/s" is a value, not the switch.
    o = parseStartupOptions({"--dir", "/s"});
    EXPECT_EQ(o.dir, "/s");
    EXPECT_FALSE(o.serviceMode);
}

TEST(StartupOptions, MissingValueIsAnError) {
    const StartupOptions o = parseStartupOptions({"/s", "--dir"});
    EXPECT_FALSE(o.error.isEmpty());
}
