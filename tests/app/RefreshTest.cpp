#include "AppFixture.h"
#include "Link.h"
#include "LoggerSim.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

using namespace nodalyx;
using namespace nodalyx::test;
using Counts = nodalyx::sim::LoggerState::Counts;
using Refresh = AppFixture;

// The main window against the simulated logger in the same process, which answers late.
TEST_F(Refresh, FillsTheCountColumnsAndTakesNoClicksWhileWaitingForTheLogger) {
    sim::LoggerSim sim;
    sim.setGrowing(false);
    sim.state().serial = "NX4201";
    sim.faults().delayMs = 300;
    ASSERT_TRUE(sim.listenTcp());
    writeLocation("Site", [&](SharedState& st) {
        st.settings.Portnumber = QString::number(sim.tcpPort());
        st.settings.eSerialnumber = "NX42";
        st.HW1Unit[1].HWaddress = "0123456789AB";
        st.HW2Unit[64].HWaddress = "0123456789AB";
    });
    // live1, live2, in1, out1, in2, out2
    sim.state().setCounts(1, 0, Counts{0, 0, 258, 65535, 5, 0});
    sim.state().setCounts(2, 63, Counts{0, 0, 7, 8, 1, 2});
    auto window = startWindow();
    window->link()->setTimeouts({2000, 2000, 2000, 50});
    window->selectLocation("Site");
    auto* hw1 = child<QTreeWidget>(*window, "LsvHW1");
    auto* hw2 = child<QTreeWidget>(*window, "LSVHW2");
    hw1->topLevelItem(2)->setText(8, "kept"); // all counts zero: the column keeps its text

    bool refreshEnabled = true;
    bool listEnabled = true;
    QTimer::singleShot(100, window.get(), [&] {
        refreshEnabled = child<QPushButton>(*window, "CmdRefresh")->isEnabled();
        listEnabled = child<QComboBox>(*window, "CboLocation")->isEnabled();
    });
    click(*window, "CmdRefresh");
    EXPECT_FALSE(refreshEnabled);
    EXPECT_FALSE(listEnabled);
    EXPECT_TRUE(child<QPushButton>(*window, "CmdRefresh")->isEnabled());
    EXPECT_TRUE(op.shown().isEmpty()) << op.lastText().toStdString();
    EXPECT_EQ(rowTexts(hw1, 0).mid(8, 4), QStringList({"258", "65535", "5", ""}));
    EXPECT_EQ(rowTexts(hw1, 2).mid(8, 4), QStringList({"kept", "", "", ""}));
    EXPECT_EQ(rowTexts(hw2, 63).mid(8, 4), QStringList({"7", "8", "1", "2"}));
    EXPECT_EQ(op.busyDepth(), 0);
    EXPECT_EQ(hw1->topLevelItem(0)->text(0), "00"); // the rest of the row stays

    // Framing errors the link counts show in the test tab.
    window->link()->countFramingError();
    window->link()->countFramingError();
    EXPECT_EQ(child<QLabel>(*window, "lblError")->text(), "2");
}
