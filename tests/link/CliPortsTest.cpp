// nodalyx-cli ports: the listing, the port map and the search for a logger, as processes.
#include "CliProcess.h"
#include "LinkHarness.h"
#include "PseudoTerminals.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

using namespace nodalyx;
using namespace nodalyx::test;

namespace {

QJsonObject entryFor(const QString& json, const QString& device) {
    for (const QJsonValue& v : QJsonDocument::fromJson(json.toUtf8()).array())
        if (v.toObject().value("device").toString() == device)
            return v.toObject();
    return {};
}

} // namespace

TEST(CliPortsTest, MapListUnmapAndUsageErrors) {
    NODALYX_NEEDS_PSEUDO_TERMINALS();
    TempDir dir;
    sim::LoggerSim logger;
    ASSERT_TRUE(logger.openPty());
    const QString device = logger.ptyDevice();
    expectCli(runCli(dir.path(), {"ports", "map", "7", device}), 0,
              "^Serial port 7 is now /dev/pts/[0-9]+\\.\n$", "^$");
    EXPECT_TRUE(dir.read("ports.ini").startsWith("; Serial ports"));
    const CliRun listed = runCli(dir.path(), {"ports", "--json"});
    ASSERT_EQ(listed.exit, 0) << listed.err.toStdString();
    const QJsonObject port = entryFor(listed.out, device);
    EXPECT_EQ(port.value("number").toInt(), 7);
    EXPECT_TRUE(port.value("mapped").toBool());
    EXPECT_TRUE(port.value("vendor_id").isNull());
    for (const char* member :
         {"description", "manufacturer", "serial_number", "product_id", "available"})
        EXPECT_TRUE(port.contains(member)) << member;
    expectCli(runCli(dir.path(), {"ports"}), 0, "(^|\n)7 - /dev/pts/[0-9]+  \\[mapped\\]\n", "^$");
    expectCli(runCli(dir.path(), {"ports", "unmap", "7"}), 0,
              "^Serial port 7 is no longer in the port map\\.\n$", "^$");
    expectFailures({{{"ports", "unmap", "7"}, 1, "Serial port 7 is not in the port map."},
                    {{"ports", "map", "0", device}, 2, "port number 1..255"},
                    {{"ports", "map", "3", "/dev/no-such-tty"}, 1, "There is no serial port"},
                    {{"ports", "--bogus"}, 2, "unexpected '--bogus'"}},
                   [&](const QStringList& args) { return runCli(dir.path(), args); });
}

// Two loggers behind mapped ports: the location's is marked, and without it the search fails.
TEST(CliPortsTest, ProbeMarksTheLocationsLoggerAndExitsOneWhenItIsAbsent) {
    NODALYX_NEEDS_PSEUDO_TERMINALS();
    TempDir dir;
    sim::LoggerSim other, right;
    ASSERT_TRUE(other.openPty() && right.openPty());
    other.state().serial = QStringLiteral("77777777");
    right.state().serial = QStringLiteral("00123456");
    ASSERT_EQ(runCli(dir.path(), {"new", "Site", "--conn", "serial", "--comport", "4"}).exit, 0);
    ASSERT_EQ(runCli(dir.path(), {"set", "Site", "eSerialnumber=00123456"}).exit, 0);
    ASSERT_EQ(runCli(dir.path(), {"ports", "map", "3", other.ptyDevice()}).exit, 0);
    ASSERT_EQ(runCli(dir.path(), {"ports", "map", "4", right.ptyDevice()}).exit, 0);
    const CliRun found = runCli(dir.path(), {"ports", "--probe", "Site", "--json"});
    ASSERT_EQ(found.exit, 0) << found.err.toStdString();
    const QJsonObject hit = entryFor(found.out, right.ptyDevice());
    EXPECT_EQ(hit.value("serial").toString(), "00123456");
    EXPECT_TRUE(hit.value("matches").toBool());
    EXPECT_TRUE(hit.value("skipped").isNull());
    EXPECT_FALSE(entryFor(found.out, other.ptyDevice()).value("matches").toBool());
    right.closePty();
    // the right one's port gone: the other answers, unmarked, and the search fails
    expectCli(runCli(dir.path(), {"ports", "--probe", "Site"}), 1,
              "/dev/pts/[0-9]+ \\(3\\): serial number 77777777\n(.*\n)*.*\\(4\\): skipped, ", "");
}
