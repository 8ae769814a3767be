// The "PCB test" tab of the main window, offscreen in service mode, against simulated units.
#include "PcbTestTab.h"
#include "../app/AppFixture.h"
#include "HighwayHarness.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

using namespace nodalyx;
using namespace nodalyx::test;

namespace {
class PcbTestWindow : public AppFixture {
protected:
    PcbTestWindow() {
        state.ServiceMode = true;
        sim::UnitSimConfig config;
        config.growMs = 0;
        config.units = {{0, 1, {}, {100, 7, 200, 9}, sim::UnitFault::None},
                        {5, 2, "A1B2C3D4E5F1", {10, 20, 30, 40}, sim::UnitFault::None}};
        sim.setConfig(config);
        ok = sim.openPty();
        qputenv("NODALYX_COM3", sim.ptyDevice().toLocal8Bit());
    }
    ~PcbTestWindow() override { qunsetenv("NODALYX_COM3"); }

    void writeHighway() {
        writeLocation("Site", [](SharedState& s) {
            s.HW1Unit[1].Active = true;
            s.HW1Unit[1].HWtype = 1;
            s.HW1Unit[6].Active = true;
            s.HW1Unit[6].HWtype = 2;
            s.HW1Unit[6].HWaddress = "A1B2C3D4E5F1";
        });
    }

    sim::UnitHighwaySim sim;
    bool ok = false;
};
} // namespace

TEST_F(PcbTestWindow, CountsLiveAndStopsAfterThePassWithoutTakingAnotherStart) {
    ASSERT_TRUE(ok);
    writeHighway();
    auto window = startWindow();
    window->selectLocation("Site");
    ASSERT_NE(window->pcbTest(), nullptr);
    window->pcbTest()->test().setTimings(quickTimings());
    auto* start = child<QPushButton>(*window, "CmdStart");
    auto* list = child<QTreeWidget>(*window, "LsvHW");
    auto* count = child<QLabel>(*window, "lblCount");
    child<QComboBox>(*window, "CboComport")->setCurrentIndex(2); // "3"
    ASSERT_TRUE(child<QRadioButton>(*window, "OptHW0")->isChecked());
    EXPECT_EQ(start->text(), "Start");
    EXPECT_TRUE(start->isEnabled());
    EXPECT_EQ(rowTexts(list, 1).mid(10), QStringList(8, QString()));

    QStringList running, stopping;
    bool locationLocked = false;
    QObject::connect(&window->pcbTest()->test(), &hw::HighwayTest::passFinished, [&](int n) {
        if (n == 1) {
            running = {start->text(), start->styleSheet(), count->text()};
            locationLocked = !child<QComboBox>(*window, "CboLocation")->isEnabled();
        }
        if (n != 2)
            return;
        click(*window, "CmdStart"); // Stop
        stopping = {start->text(), start->isEnabled() ? "enabled" : "disabled", count->text()};
        click(*window, "CmdStart"); // a Start on the disabled button does nothing
    });
    click(*window, "CmdStart");

    EXPECT_TRUE(op.shown().isEmpty()) << op.lastText().toStdString();
    ASSERT_EQ(running.size(), 3);
    EXPECT_EQ(running[0], "Stop");
    EXPECT_TRUE(running[1].contains("rgb(255, 0, 0)")) << running[1].toStdString();
    EXPECT_EQ(running[2], "Pass 2");
    EXPECT_TRUE(locationLocked);
    EXPECT_EQ(stopping, QStringList({"Start", "disabled", "Stopping..."}));
    // Two passes: TX from the second, RX from both.
    EXPECT_EQ(rowTexts(list, 0).mid(4), QStringList({"1", "2", "100", "200", "7", "9", "0", "0",
                                                     "0", "0", "100", "200", "0", "0"}));
    EXPECT_EQ(rowTexts(list, 5).mid(4), QStringList({"1", "2", "10", "20", "30", "40", "0", "0",
                                                     "0", "0", "10", "20", "30", "40"}));
    EXPECT_EQ(rowTexts(list, 1).mid(4), QStringList(14, "0")); // reset at the start
    EXPECT_EQ(sim.polls().size(), 4);
    EXPECT_EQ(start->text(), "Start");
    EXPECT_TRUE(start->isEnabled());
    EXPECT_TRUE(start->styleSheet().contains("rgb(0, 192, 0)"));
    EXPECT_EQ(count->text(), "2 passes");
    EXPECT_TRUE(child<QComboBox>(*window, "CboLocation")->isEnabled());
    EXPECT_TRUE(child<QPushButton>(*window, "CmdRefresh")->isEnabled());
    EXPECT_FALSE(window->link()->isLeased());
}
