#pragma once

#include "ControlLock.h"
#include "CountRecord.h"
#include "CounterMonitor.h"
#include "Operator.h"
#include "SharedState.h"

#include <QObject>
#include <QPointer>
#include <functional>

class QMainWindow;

namespace Ui {
class FrmMain;
}

namespace nodalyx {

class Link;
class FrmCountChart;

// Monitoring in the main window: "Monitor" repeats the counter read-out every so many seconds
// ("every N s"), the count columns follow, the change columns show the change since the first
// read and the units that changed in the last read are highlighted. A failed read is told in
// the status bar and monitoring goes on; three in a row end it. While it runs the controls
// that would use the link take no input; the button reads "Stop". "Record counts..." writes
// every read to a CSV file; "Chart..." draws the counts of the selected units over time.
class MonitorPanel : public QObject {
    Q_OBJECT
public:
    MonitorPanel(Ui::FrmMain& ui, QMainWindow& window, SharedState& state, Link& link,
                 Operator& op);
    ~MonitorPanel() override;

    bool isRunning() const { return m_monitor.isRunning(); }
    CounterMonitor& monitor() { return m_monitor; }
    const CountRecord& record() const { return m_record; }

    // "Monitor" clicked: starts, or stops after the read under way.
    void onMonitorClicked();
    // "Record counts...": asks for a file and records into it; while recording, ends it.
    void onRecordClicked();
    // "Chart...": the chart window, made on first use and kept.
    void onChartClicked();
    // Another location was chosen: the changes of the last run are no longer shown.
    void locationChanged(bool chosen);
    // Shows a notice of the link in the status bar (while monitoring, instead of a message).
    void showNotice(const QString& text);

    // Where "Record counts..." records; by default a file dialog. Tests put a chooser here.
    using FileChooser = std::function<QString(const QString& suggested)>;
    void setFileChooser(FileChooser chooser) { m_chooseFile = std::move(chooser); }
    QWidget* chartWindow() const;

    // Repaints the count columns from the tables.
    std::function<void()> showCounts;

private:
    void started();
    void onRead(const MonitorRead& read);
    void onFinished(CounterMonitor::End end);
    void showChanges(bool lastReadOnly);
    void setChangeColumnsVisible(bool visible);
    void showRecording();
    QString statusText(const MonitorRead& read) const;

    Ui::FrmMain& m_ui;
    QMainWindow& m_window;
    SharedState& m_state;
    Operator& m_op;
    CounterMonitor m_monitor;
    CountRecord m_record;
    ControlLock m_locked;
    FileChooser m_chooseFile;
#ifdef NODALYX_HAVE_CHARTS
    QPointer<FrmCountChart> m_chart;
#endif
};

} // namespace nodalyx
