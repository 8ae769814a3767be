// Monitoring in the main window against the simulated logger in the same process.
#include "AppFixture.h"
#include "CounterMonitor.h"
#include "Link.h"
#include "LoggerSim.h"
#include "MainViews.h"
#include "MonitorPanel.h"

#include <QComboBox>
#include <QFile>
#include <QMenu>
#include <QPushButton>
#include <QStatusBar>

using namespace nodalyx;
using namespace nodalyx::test;
using Counts = nodalyx::sim::LoggerState::Counts;

namespace {

class Monitor : public AppFixture {
protected:
    void SetUp() override {
        sim.setGrowing(false);
        sim.state().serial = "NX4201";
        ASSERT_TRUE(sim.listenTcp());
        writeLocation("Site", [&](SharedState& st) {
            st.settings.Portnumber = QString::number(sim.tcpPort());
            st.HW1Unit[1].Active = true;
            st.HW1Unit[1].Name1 = "Door";
            st.HW1Unit[3].Active = true;
        });
        sim.state().setCounts(1, 0, Counts{.in1 = 65534, .out1 = 9});
        window = startWindow();
        window->link()->setTimeouts({300, 300, 300, 50});
        window->selectLocation("Site");
        panel = window->monitorPanel();
        QObject::connect(&panel->monitor(), &CounterMonitor::readDone, window.get(),
                         [this](const MonitorRead& read) {
                             reads << read;
                             if (afterRead)
                                 afterRead(read);
                         });
    }
    // Runs events until monitoring has ended or `until` holds (at most 15 s).
    void runWhile(const std::function<bool()>& until) { QTRY_VERIFY_WITH_TIMEOUT(until(), 15000); }
    QStringList changes(int row) const {
        return rowTexts(child<QTreeWidget>(*window, "LsvHW1"), row).mid(kFirstChangeColumn);
    }
    bool lit(int row) const {
        return child<QTreeWidget>(*window, "LsvHW1")->topLevelItem(row)->background(0).style() !=
               Qt::NoBrush;
    }

    sim::LoggerSim sim;
    std::unique_ptr<FrmMain> window;
    MonitorPanel* panel = nullptr;
    QList<MonitorRead> reads;
    std::function<void(const MonitorRead&)> afterRead;
};

} // namespace

TEST_F(Monitor, ShowsTheChangesHighlightsAndLocksTheLinkControlsUntilStopAndRecordsEachRead) {
    const QString record = dir.path() + "/counts.csv";
    panel->setFileChooser([&](const QString& suggested) {
        EXPECT_TRUE(suggested.endsWith(".csv")) << suggested.toStdString();
        return record;
    });
    click(*window, "CmdRecord");
    afterRead = [&](const MonitorRead& read) {
        if (read.number == 1) // the counter wraps: 65534 then 2 is a change of 4
            sim.state().setCounts(1, 0, Counts{.in1 = 2, .out1 = 9});
    };
    click(*window, "CmdMonitor");
    runWhile([&] { return reads.size() >= 2; });
    EXPECT_TRUE(panel->isRunning());
    EXPECT_EQ(changes(0), QStringList({"+4", "0", "", ""})); // no unit code: channel 1 only
    EXPECT_EQ(changes(2), QStringList({"0", "0", "", ""}));
    EXPECT_EQ(changes(1), QStringList({"", "", "", ""})); // not in use
    EXPECT_EQ(rowTexts(child<QTreeWidget>(*window, "LsvHW1"), 0)[kFirstCountColumn], "2");
    EXPECT_TRUE(lit(0));
    EXPECT_FALSE(lit(2));
    for (const char* name : {"CmdRefresh", "CboLocation", "CmdNew", "SpnEvery"})
        EXPECT_FALSE(child<QWidget>(*window, name)->isEnabled()) << name;
    EXPECT_TRUE(child<QPushButton>(*window, "CmdMonitor")->isEnabled());
    EXPECT_EQ(child<QPushButton>(*window, "CmdMonitor")->text(), "&Stop");
    EXPECT_FALSE(child<QMenu>(*window, "mnuConfiguration")->menuAction()->isEnabled());
    EXPECT_TRUE(window->statusBar()->currentMessage().startsWith("Read 2 at "));

    click(*window, "CmdMonitor");
    runWhile([&] { return !panel->isRunning(); });
    EXPECT_TRUE(child<QWidget>(*window, "CmdRefresh")->isEnabled());
    EXPECT_TRUE(child<QWidget>(*window, "CboLocation")->isEnabled());
    EXPECT_EQ(child<QPushButton>(*window, "CmdMonitor")->text(), "&Monitor");
    EXPECT_TRUE(op.shown().isEmpty()) << op.lastText().toStdString();
    QFile file(record);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray csv = file.readAll();
    EXPECT_EQ(csv.count("\r\n"), 1 + 2 * reads.size()); // the header, two units a read
    EXPECT_TRUE(csv.contains(",1,0,Door,1,2,9,4,0\r\n")) << csv.toStdString();
    // Another location: the changes of that run are no longer shown.
    window->selectLocation("Site");
    EXPECT_TRUE(child<QTreeWidget>(*window, "LsvHW1")->isColumnHidden(kFirstChangeColumn));
}

TEST_F(Monitor, AFailedReadGoesToTheStatusBarAndThreeInARowStopItWithOneMessage) {
    afterRead = [&](const MonitorRead& read) {
        if (read.number == 1)
            sim.faults().closeCodes = {3}; // from now on every read loses the connection
        if (read.number == 2)
            EXPECT_TRUE(window->statusBar()->currentMessage().contains("failed (1 of 3 in a row)"))
                << window->statusBar()->currentMessage().toStdString();
    };
    click(*window, "CmdMonitor");
    runWhile([&] { return !panel->isRunning(); });
    EXPECT_EQ(reads.size(), 4);
    EXPECT_EQ(op.messages(), QStringList{CounterMonitor::failuresText()});
    EXPECT_EQ(window->statusBar()->currentMessage(), CounterMonitor::failuresText());
    EXPECT_TRUE(child<QWidget>(*window, "CmdRefresh")->isEnabled());
}
