// The general read-out and Set Date/Time against the simulated logger in this process.
#include "GeneralReadout.h"
#include "ClockDrift.h"
#include "ClockSetting.h"
#include "LinkHarness.h"
#include "PseudoTerminals.h"
#include "ReadoutFixtures.h"
#include "SettingsComparison.h"
#include "SettingsForm.h"

#include <QTest>
#include <gtest/gtest.h>

using namespace nodalyx;
using namespace nodalyx::test;

namespace {

// The boxes by their object names, as the command line's report names them.
QString boxNames(const QList<BoxKey>& boxes) {
    QStringList names;
    for (const BoxKey& box : boxes)
        names << boxName(box);
    return names.join(',');
}

struct ReadoutTest : ::testing::Test {
    Harness h;
    ConfigurationControls c;
    QList<int> progress;

    void SetUp() override {
        ASSERT_TRUE(h.ok);
        h.state.settings.LocationCode = "Shop";
        h.state.settings.LocationName = "Simulator"; // the logger's is padded with blanks
        h.state.settings.LocationPlace = "Bench";
        h.state.settings.Interval = "10";
        h.state.settings.Days.fill("07002200");
        h.state.settings.eIPaddress = QStringList{"192", "168", "1", "10"};
        GetGeneralsettings(h.state, c, h.op);
    }
    GeneralReadout run() {
        h.sim.clearLog();
        ReadoutHooks hooks;
        hooks.progress = [this](int v) { progress << v; };
        hooks.now = [] { return QDateTime::currentDateTime(); };
        return ReadGeneralSettings(h.state, *h.link, h.op, c, hooks);
    }
};

} // namespace

TEST_F(ReadoutTest, FillsEveryRemoteControlInOrderAndMarksWhatDiffers) {
    sim::LoggerState& logger = h.sim.state();
    logger.setDayWindow(2, 7, 0, 22, 30);
    logger.setInterval(20);
    logger.port = 32768; // 0x80 0x00
    logger.locationCode = "SIM01";
    logger.extensions[1] = "K1";
    logger.clockOffsetSecs = -180;
    const GeneralSettings before = h.state.settings;
    const GeneralReadout r = run();

    EXPECT_TRUE(r.connected);
    EXPECT_TRUE(r.failed.isEmpty()) << r.failed.join(", ").toStdString();
    EXPECT_EQ(h.sim.requestCodes(), kReadoutCodes);
    EXPECT_EQ(progress.last(), kGeneralReadoutSteps);
    // The boxes that differ from the location are checked by the difference lines below.
    EXPECT_EQ(c.txtCode, "SIM01     ");         // blanks stay
    EXPECT_EQ(h.state.settings.Interval, "30"); // the one field the read-out changes
    EXPECT_EQ(c.txtDHCP, (std::array<QString, 4>{"192", "168", "1", "77"}));
    EXPECT_EQ(c.txtMacAddress, (std::array<QString, 6>{"0", "1A", "0B", "0C", "0D", "0E"}));
    ASSERT_TRUE(r.clock);
    EXPECT_EQ(c.txtDate, r.clock->text());
    EXPECT_EQ(clockDriftText(clockDriftMinutes(*r.clock, r.clockReadAt)).left(15),
              "logger clock 3 "); // 3 min behind, or 2 when a minute turned meanwhile
    EXPECT_TRUE(QTest::qWaitFor([this] { return !h.sim.clientConnected(); }, 2000))
        << "TCP is closed at the end";
    EXPECT_EQ(h.op.busyDepth(), 0);

    QStringList lines;
    for (const SettingDifference& d : compareWithLocation(before, c, r.read))
        lines << differenceLine(d) + " " + boxNames(d.boxes);
    EXPECT_EQ(lines, QStringList({"LocationCode: location \"Shop\" logger \"SIM01\" txtCode",
                                  "Monday: location \"07002200\" logger \"07002230\" txtStop1",
                                  "Interval: location \"10\" logger \"30\" CboInterval",
                                  "eSubnetmask: location \"...\" logger \"255.255.255.0\" "
                                  "txtSubnetmask0,txtSubnetmask1,txtSubnetmask2,txtSubnetmask3",
                                  "eGateway: location \"...\" logger \"192.168.1.1\" "
                                  "txtGateway0,txtGateway1,txtGateway2,txtGateway3",
                                  "ePortnumber: location \"\" logger \"32768\" txtPortNumber",
                                  "eHostname: location \"\" logger \"NODALYX-LOGGER\" txtHostName",
                                  "eSerialnumber: location \"\" logger \"12345678\" "
                                  "txtSerialNumber",
                                  "eExt2: location \"\" logger \"K1\" txtExt2"}))
        << lines.join('\n').toStdString();
}

// A text reply needs three bytes to carry a character: two bytes (FF and the code, or an ACK
// and one more) are no reply and leave the box as it was, not blanked and not counted as read.
TEST_F(ReadoutTest, AQueryThatFailsLeavesItsControlsAndTheRestGoesOn) {
    h.sim.faults().extraByteCodes = {3};            // day and interval replies one byte too long
    h.sim.faults().cutCodes = {{101, 2}, {105, 3}}; // no code; a place of one character
    h.sim.faults().nakCodes = {103, 57};            // no name, no MAC address
    h.sim.state().locationPlace = "PQR";
    const ConfigurationControls loadedControls = c;
    const GeneralReadout r = run();
    EXPECT_EQ(h.sim.requestCodes(), kReadoutCodes);
    EXPECT_EQ(r.failed, QStringList({"Location Code", "Location Name", "Sunday", "Monday",
                                     "Tuesday", "Wednesday", "Thursday", "Friday", "Saterday",
                                     "Interval", "MAC address"}));
    EXPECT_EQ(c.txtCode, "Shop");
    EXPECT_EQ(c.txtPlace, "P");
    EXPECT_FALSE(r.read.contains({Box::Code}));
    EXPECT_TRUE(r.read.contains({Box::Place}));
    EXPECT_EQ(c.txtName, loadedControls.txtName); // a NAK holds no character of the name
    EXPECT_EQ(c.txtStart, loadedControls.txtStart);
    EXPECT_EQ(h.state.settings.Interval, "10");
    EXPECT_EQ(c.txtMacAddress, loadedControls.txtMacAddress);
    EXPECT_EQ(c.txtPortNumber, "3101");
    EXPECT_EQ(progress.last(), kGeneralReadoutSteps);
}

// A text's wait ends before its reply's checksum byte; when that byte comes a little later it
// must not end up in front of the next reply.
TEST_F(ReadoutTest, ATextReplysLateLastByteDoesNotShiftTheNextText) {
    h.sim.faults().lateByteMs = 15;
    h.sim.state().extensions = {"A1", "B2", "C3", "D4"};
    const GeneralReadout r = run();
    EXPECT_TRUE(r.failed.isEmpty()) << r.failed.join(", ").toStdString();
    EXPECT_EQ(c.txtPlace, "Bench     ");
    EXPECT_EQ(c.txtExt, (std::array<QString, 4>{"A1    ", "B2    ", "C3    ", "D4    "}));
}

// The operator's cancel is looked at between two queries: the one under way ends whole, no
// further one is sent, and the link is closed, a serial port as well as a socket.
TEST_F(ReadoutTest, ACancelStopsAfterTheQueryUnderWayAndClosesTheLink) {
    for (const bool serial : tcpAndSerial()) {
        SCOPED_TRACE(serial ? "serial" : "TCP");
        Harness other(serial);
        ASSERT_TRUE(other.ok);
        Cancellation cancel;
        ReadoutHooks hooks;
        hooks.progress = [&cancel](int v) {
            if (v == 10) // after the texts, the clock and Sunday
                cancel.request();
        };
        ConfigurationControls controls;
        const GeneralReadout r =
            ReadGeneralSettings(other.state, *other.link, other.op, controls, hooks, &cancel);
        EXPECT_TRUE(r.connected && r.cancelled);
        EXPECT_EQ(other.sim.requestCodes(), kReadoutCodes.mid(0, 9));
        EXPECT_FALSE(r.read.contains({Box::Start, 1}));
        EXPECT_FALSE(other.link->transport().serial().isOpen());
        EXPECT_EQ(other.link->transport().tcp().state(), QAbstractSocket::UnconnectedState);
        EXPECT_TRUE(other.op.shown().isEmpty());
        EXPECT_EQ(other.op.busyDepth(), 0);
    }
}

TEST_F(ReadoutTest, SetDateTimeSendsThePcClockAndShowsTheReadBack) {
    // Saturday 5 December 2026, 10:30.
    const QDateTime pc(QDate(2026, 12, 5), QTime(10, 30, 12));
    ClockSetting r = SetLoggerDateTime(h.state, *h.link, h.op, pc, [pc] { return pc; });
    EXPECT_EQ(h.sim.requests().value(0), fromHex("FF FF 01 0A 1E 1A 0C 05 07 00 73"));
    EXPECT_EQ(r.txtDate, "05-12-2026  10:30"); // the drift shown: the window's test

    h.sim.faults().nakCodes = {1};
    r = SetLoggerDateTime(h.state, *h.link, h.op, pc);
    EXPECT_EQ(r.txtDate, "Failed!");
    h.sim.faults() = {};

    r = SetLoggerDateTime(h.state, *h.link, h.op, QDateTime(QDate(1999, 12, 31), QTime(23, 0)));
    EXPECT_EQ(r.txtDate, "");
    EXPECT_TRUE(h.op.lastText().contains("keeps the years 2000 to 2255"));

    // Cancelled while the new time was under way: no read-back, the link closed.
    h.sim.clearLog();
    Cancellation cancel;
    cancel.request();
    r = SetLoggerDateTime(h.state, *h.link, h.op, pc, {}, &cancel);
    EXPECT_TRUE(r.cancelled);
    EXPECT_EQ(h.sim.requestCodes(), QList<int>{1});
    EXPECT_EQ(h.link->transport().tcp().state(), QAbstractSocket::UnconnectedState);

    const quint16 port = closedPort();
    pointAtTcp(h.state, port);
    h.sim.clearLog();
    h.op.clear();
    r = SetLoggerDateTime(h.state, *h.link, h.op, pc);
    EXPECT_EQ(r.txtDate, "");
    EXPECT_EQ(h.op.messages(),
              QStringList{
                  QStringLiteral("No connection with datalogger! 127.0.0.1:%1: connection refused")
                      .arg(port)});
    EXPECT_TRUE(h.sim.requests().isEmpty());
    EXPECT_EQ(h.op.busyDepth(), 0);
}
