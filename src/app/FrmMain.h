#pragma once

#include "Operator.h"
#include "SharedState.h"

#include "TransferContext.h"

#include <QMainWindow>
#include <functional>
#include <memory>

class QDialog;
class QFileSystemWatcher;
class QLabel;
class QTimer;
class QTreeWidget;

namespace Ui {
class FrmMain;
}

namespace nodalyx {

class FrmCommLog;
class FrmSites;
class Link;
class MonitorPanel;
class PcbTestTab;
class TrafficLogBuffer;
class TrafficRecorder;

// The main window: the location list, how its logger is reached, the units of both
// highways, and the start of every other window. In service mode a "PCB test" tab is shown.
class FrmMain : public QMainWindow {
    Q_OBJECT
public:
    FrmMain(SharedState& state, Operator& op, QWidget* parent = nullptr);
    ~FrmMain() override;

    // The window's start: centres it, shows the test tab in service mode only, fills the
    // day names and the location list (nothing selected), the port list, the version and,
    // in the status bar, the program directory.
    void start();

    // Selects the entry `name` of the location list and loads that location; an unknown or
    // empty name leaves nothing selected.
    void selectLocation(const QString& name);
    QString locationName() const;

    void LoadHWfiles();
    void UpdateRowHW1(int index);
    void UpdateRowHW2(int index);
    void FillTestList1();
    void FillTestList2();

    // Opens the unit editor on row `index` (1..64) of highway 1 or 2, then redraws the row.
    void editUnit(int highway, int index);
    void newLocation();
    void saveHWfiles();
    void refresh();
    // "General settings": the configuration window on the selected location; after Save the
    // location file is written (its .bak kept). The location is reloaded in either case.
    void generalSettings();
    // "Upload Configuration": the upload window, created on first use and kept.
    void uploadConfiguration();
    QDialog* uploadWindow() const { return m_upload; }
    // "Communication log": the one log window, created on first use and kept, shown modeless.
    // The log records from the window's start: the link, the transfer component, the test.
    void communicationLog();
    FrmCommLog* commLogWindow() const { return m_commLog; }
    // "Sites...": the survey of every location, made on first use and kept.
    void sites();
    FrmSites* sitesWindow() const { return m_sites; }
    TrafficLogBuffer& trafficLog() { return *m_trafficLog; }

    // How modal child windows are run; by default they are executed modally. Tests put a
    // runner here that drives the window and closes it.
    using DialogRunner = std::function<void(QDialog&)>;
    void setDialogRunner(DialogRunner runner) { m_runDialog = std::move(runner); }

    Link* link() const { return m_link; }
    PcbTestTab* pcbTest() const { return m_pcbTest; }
    MonitorPanel* monitorPanel() const { return m_monitor; }

protected:
    // Return, Enter and F2 on a highway row open the unit editor, as a double-click does.
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Closing ends monitoring (after the read under way).
    void closeEvent(QCloseEvent* event) override;

private:
    void connectControls();
    void setupLists();
    void onLocationChosen();
    void watchProgramDir();
    // Lists the location files again, keeping the loaded location loaded and selected.
    void relistLocations();
    void setSelectionDependentEnabled(bool enabled);
    void showConnection();
    void fillHighwayList(QTreeWidget* list, const UnitTable& table);
    void updateRow(QTreeWidget* list, const UnitTable& table, int index);
    void fillTestList(const UnitTable& table);
    void showCounts();
    void recordTraffic();
    SharedTransferLink* transfers();

    std::unique_ptr<Ui::FrmMain> m_ui;
    SharedState& m_state;
    Operator& m_op;
    Link* m_link = nullptr;
    std::unique_ptr<SharedTransferLink> m_transfers; // the transfer component, made on first use
    PcbTestTab* m_pcbTest = nullptr;
    MonitorPanel* m_monitor = nullptr;
    QLabel* m_programDir = nullptr;             // "Locations: <dir>" in the status bar
    QFileSystemWatcher* m_dirWatcher = nullptr; // the program directory, for the location list
    QTimer* m_relist = nullptr;                 // gathers a burst of changes into one re-list
    DialogRunner m_runDialog;
    QDialog* m_upload = nullptr;
    TrafficRecorder* m_traffic = nullptr;           // the communication log's recorder
    std::unique_ptr<TrafficLogBuffer> m_trafficLog; // its lines, from start-up
    FrmCommLog* m_commLog = nullptr;
    FrmSites* m_sites = nullptr;
};

} // namespace nodalyx
