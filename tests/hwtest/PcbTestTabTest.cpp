// The "PCB test" tab of the main window, offscreen in service mode, against simulated units.
#include "PcbTestTab.h"
#include "../app/AppFixture.h"
#include "HighwayHarness.h"
#include "PseudoTerminals.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QShortcut>

using namespace nodalyx;
using namespace nodalyx::test;

namespace {
class PcbTestWindow : public AppFixture {
protected:
    PcbTestWindow() {
        state.ServiceMode = true;
        sim.setConfig(twoUnits());
        ok = sim.openPty();
        qputenv("NODALYX_COM3", sim.ptyDevice().toLocal8Bit());
    }
    ~PcbTestWindow() override { qunsetenv("NODALYX_COM3"); }

    // The controls that must take no input while the test runs.
    static QStringList enabledDuringTheTest(const FrmMain& window) {
        QStringList enabled;
        for (const char* name : {"CboLocation", "CmdNew", "CmdRefresh", "CmdMonitor", "OptHW0",
                                 "OptHW1", "CboComport"})
            if (child<QWidget>(window, name)->isEnabled())
                enabled << name;
        // The Configuration menu and "New Location" use the link or change the location; the
        // communication log stays open to the test's polls.
        for (const char* name : {"mnuLocation", "mnuCommLog"})
            if (child<QAction>(window, name)->isEnabled())
                enabled << name;
        if (child<QMenu>(window, "mnuConfiguration")->menuAction()->isEnabled())
            enabled << "mnuConfiguration";
        return enabled;
    }
    // The test ended: "Start" takes a new start, every control is back, the link free.
    static void expectReadyToStart(const FrmMain& window) {
        EXPECT_EQ(std::tuple(child<QPushButton>(window, "CmdStart")->isEnabled(),
                             enabledDuringTheTest(window).size(), window.link()->isLeased()),
                  std::tuple(true, 10, false));
    }

    sim::UnitHighwaySim sim;
    bool ok = false;
};
} // namespace

// Three starts in one window: a run stopped between passes, a port that cannot be opened, a
// run ended by Escape in its first pass. Each start clears the rows and the pass label.
TEST_F(PcbTestWindow, StartStopEscapeAndADeadPort) {
    NODALYX_NEEDS_PSEUDO_TERMINALS();
    ASSERT_TRUE(ok);
    qputenv("NODALYX_COM4", "/nonexistent/ttyHIGHWAY");
    writeLocation("Site", twoUnitSite);
    auto window = startWindow();
    window->selectLocation("Site");
    ASSERT_NE(window->pcbTest(), nullptr);
    click(*window, "OptHW1"); // Highway 2
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    auto* start = child<QPushButton>(*window, "CmdStart");
    auto* list = child<QTreeWidget>(*window, "LsvHW");
    auto* count = child<QLabel>(*window, "lblCount");
    auto* ports = child<QComboBox>(*window, "CboComport");
    ports->setCurrentIndex(2); // "3": the units
    auto* escape = child<QShortcut>(*window, "StopShortcut");
    hw::HighwayTest& test = window->pcbTest()->test();
    test.setTimings(quickTimings());

    QStringList running, stopping = {"not seen"};
    QObject::connect(&test, &hw::HighwayTest::passFinished, [&](int n) {
        if (n == 1) // "Stop" (and the log) are the controls left to the test
            running = enabledDuringTheTest(*window) << count->text();
        if (n != 2)
            return;
        click(*window, "CmdStart"); // Stop
        stopping = {start->isEnabled() ? "enabled" : "disabled", count->text()};
        click(*window, "CmdStart"); // a Start on the disabled button does nothing
    });
    click(*window, "CmdStart");
    EXPECT_EQ(running + stopping, QStringList({"mnuCommLog", "Pass 2", "disabled", "Stopping..."}));
    // Two passes: TX from the second, RX from both.
    EXPECT_EQ(rowTexts(list, 0).mid(4), QStringList({"1", "2", "100", "200", "7", "9", "0", "0",
                                                     "0", "0", "100", "200", "0", "0"}));
    EXPECT_EQ(count->text(), "Stopped after 2 passes"); // no third pass begun
    expectReadyToStart(*window);
    EXPECT_TRUE(op.shown().isEmpty()) << op.lastText().toStdString();

    ports->setCurrentIndex(3); // "4": no such device
    click(*window, "CmdStart");
    qunsetenv("NODALYX_COM4");
    EXPECT_EQ(std::pair(op.shown().size(), count->text()), std::pair(qsizetype(1), QString()));
    EXPECT_EQ(rowTexts(list, 0).mid(4), QStringList(14, "0"));
    expectReadyToStart(*window);

    // Escape does what "Stop" does, only while the test runs.
    ports->setCurrentIndex(2);
    test.setPassLimit(3); // ends by itself should the stop not work
    bool escapeWhileRunning = false;
    QObject::connect(&test, &hw::HighwayTest::rowChanged, [&](int i) {
        if (i != 1)
            return;
        escapeWhileRunning = escape->isEnabled();
        QTest::keyClick(window.get(), Qt::Key_Escape);
    });
    click(*window, "CmdStart");
    EXPECT_EQ(std::tuple(escapeWhileRunning, count->text(), escape->isEnabled()),
              std::tuple(true, QString("Stopped in pass 1"), false));
}
