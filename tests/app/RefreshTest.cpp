#include "AppFixture.h"
#include "CounterReadout.h"
#include "FrmMain.h"
#include "Link.h"
#include "LoggerSim.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

using namespace nodalyx;
using namespace nodalyx::test;
using Counts = nodalyx::sim::LoggerState::Counts;

namespace {

// The main window against the simulated logger in the same process.
class Refresh : public AppFixture {
protected:
    void SetUp() override {
        sim.setGrowing(false);
        sim.state().serial = "NX4201";
        ASSERT_TRUE(sim.listenTcp());
        GeneralSettings s = lan("127.0.0.1", QString::number(sim.tcpPort()));
        s.eSerialnumber = "NX42";
        writeLocation("Site", s, [](SharedState& st) {
            st.HW1Unit[1].HWaddress = "0123456789AB";
            st.HW2Unit[64].HWaddress = "0123456789AB";
        });
        // live1, live2, in1, out1, in2, out2
        sim.state().setCounts(1, 0, Counts{0, 0, 258, 65535, 5, 0});
        sim.state().setCounts(1, 1, Counts{0, 0, 0, 3, 9, 9}); // no unit code: In 2/Out 2 unused
        sim.state().setCounts(2, 63, Counts{0, 0, 7, 8, 1, 2});
        window = std::make_unique<FrmMain>(state, op);
        window->start();
        window->link()->setTimeouts({2000, 2000, 2000, 50, 50});
        window->selectLocation("Site");
        hw1 = child<QTreeWidget>(*window, "LsvHW1");
        hw2 = child<QTreeWidget>(*window, "LSVHW2");
        hw1->topLevelItem(2)->setText(8, "kept"); // all counts zero: the column keeps its text
    }
    QStringList counts(QTreeWidget* list, int row) {
        QStringList texts;
        for (int c = 8; c < 12; ++c)
            texts << list->topLevelItem(row)->text(c);
        return texts;
    }
    void refresh() { QTest::mouseClick(child<QPushButton>(*window, "CmdRefresh"), Qt::LeftButton); }

    sim::LoggerSim sim;
    std::unique_ptr<FrmMain> window;
    QTreeWidget* hw1 = nullptr;
    QTreeWidget* hw2 = nullptr;
};

} // namespace

TEST_F(Refresh, FillsTheCountColumnsOfBothHighways) {
    refresh();
    EXPECT_TRUE(op.shown().isEmpty()) << op.lastText().toStdString();
    EXPECT_EQ(counts(hw1, 0), QStringList({"258", "65535", "5", ""}));
    EXPECT_EQ(counts(hw1, 1), QStringList({"", "3", "", ""}));
    EXPECT_EQ(counts(hw1, 2), QStringList({"kept", "", "", ""}));
    EXPECT_EQ(counts(hw2, 63), QStringList({"7", "8", "1", "2"}));
    EXPECT_EQ(state.HW1Unit[1].In1, "258");
    EXPECT_EQ(op.busyDepth(), 0);
    EXPECT_EQ(hw1->topLevelItem(0)->text(0), "00"); // the rest of the row stays
}

TEST_F(Refresh, OtherLoggerAndNoLeavesTheCounts) {
    sim.state().serial = "OTHER";
    op.answer({false});
    refresh();
    ASSERT_EQ(op.questions(), 1);
    EXPECT_EQ(op.lastText(), serialMismatchQuestion());
    EXPECT_EQ(counts(hw1, 0), QStringList({"", "", "", ""}));
    EXPECT_EQ(op.busyDepth(), 0);
}

TEST_F(Refresh, FramingErrorsShowInTheTestTab) {
    window->link()->countFramingError();
    window->link()->countFramingError();
    EXPECT_EQ(child<QLabel>(*window, "lblError")->text(), "2");
}

TEST_F(Refresh, WindowTakesNoClicksWhileWaitingForTheLogger) {
    sim.faults().delayMs = 300;
    bool refreshEnabled = true;
    bool listEnabled = true;
    QTimer::singleShot(100, window.get(), [&] {
        refreshEnabled = child<QPushButton>(*window, "CmdRefresh")->isEnabled();
        listEnabled = child<QComboBox>(*window, "CboLocation")->isEnabled();
    });
    refresh();
    EXPECT_FALSE(refreshEnabled);
    EXPECT_FALSE(listEnabled);
    EXPECT_TRUE(child<QPushButton>(*window, "CmdRefresh")->isEnabled());
    EXPECT_EQ(counts(hw1, 0), QStringList({"258", "65535", "5", ""}));
}
