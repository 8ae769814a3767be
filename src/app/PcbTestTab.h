#pragma once

#include "ControlLock.h"
#include "HighwayTest.h"
#include "Operator.h"
#include "SharedState.h"

#include <QObject>
#include <QWidget>

class QShortcut;

namespace Ui {
class FrmMain;
}

namespace nodalyx {

class Link;

// The "PCB test" tab of the main window: the Start/Stop button, the port list and the
// highway choice around the highway test, whose rows it shows in LsvHW. While a test runs the
// rest of the window that could change its list or location takes no input; "Stop" and
// Escape end it after the poll in progress.
class PcbTestTab : public QObject {
    Q_OBJECT
public:
    PcbTestTab(Ui::FrmMain& ui, SharedState& state, Link& link, Operator& op,
               QObject* parent = nullptr);

    hw::HighwayTest& test() { return m_test; }
    bool isRunning() const { return m_test.isRunning(); }

    // "Start": runs the test on the chosen highway and returns when it has ended. "Stop":
    // asks the running test to end after the poll in progress.
    void onStartClicked();

private:
    void stopTest();
    void showState(hw::HighwayTest::State state);
    QString countText(hw::HighwayTest::State state) const;
    void showRow(int index);
    void resetRows();
    void lockWindow(bool lock);

    Ui::FrmMain& m_ui;
    hw::HighwayTest m_test;
    QShortcut* m_escape; // Escape as "Stop", enabled while the test runs
    ControlLock m_locked;
};

} // namespace nodalyx
