#pragma once

#include "Operator.h"
#include "SiteSurvey.h"

#include <QDialog>
#include <QHash>
#include <functional>
#include <memory>

namespace Ui {
class FrmSites;
}

namespace nodalyx {

// "Sites": every location of the program directory in a sortable table with what a survey found
// of its logger — reached or why not, the serial number and whether it is the expected one,
// the clock and its drift, the settings that differ, whether the clock was set. "Check all" and
// "Check selected" survey with progress (Cancel ends it after the exchanges under way); "Set
// clocks of selected" lists the loggers, asks once and sets those that answer as the expected
// logger and drift; "Export CSV..." writes the table. A double-click (or Enter) on a row selects
// that location in the main window. Modeless; the surveys run on threads of their own, so the
// main window stays usable.
class FrmSites : public QDialog {
    Q_OBJECT
public:
    enum Column {
        Location,
        Reached,
        Reason,
        Serial,
        SerialMatches,
        LoggerClock,
        Drift,
        Differences,
        ClockSet,
        ColumnCount
    };

    FrmSites(const QString& programDir, Operator& op, QWidget* parent = nullptr);
    ~FrmSites() override;

    // Lists the locations again (a location's last result stays with it).
    void relist();
    void checkAll();
    void checkSelected();
    void setClocksOfSelected();
    void cancel();
    void exportCsv();
    bool isRunning() const;
    // TCP loggers surveyed at the same time.
    void setJobs(int jobs) { m_jobs = jobs; }
    const QHash<QString, SurveyResult>& results() const { return m_results; }

    // Asks for the file "Export CSV..." writes; empty: nothing is written. By default a file
    // dialog; tests put a function here.
    using FileChooser = std::function<QString(QWidget* parent)>;
    void setFileChooser(FileChooser chooser) { m_chooseFile = std::move(chooser); }

signals:
    // The operator chose this location (double-click or Enter on its row).
    void locationChosen(const QString& name);
    // A survey has ended (also after Cancel).
    void surveyEnded();

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void start(const QStringList& locations, const SurveyOptions& options);
    QStringList selectedLocations() const;
    void showResult(const SurveyResult& result);
    void showProgress(int done, int total);
    void ended();
    void setRunning(bool running);
    int rowOf(const QString& location) const;
    void chooseRow(int row);
    void fitColumns();

    std::unique_ptr<Ui::FrmSites> m_ui;
    QString m_programDir;
    Operator& m_op;
    SurveyRunner m_runner;
    QHash<QString, SurveyResult> m_results;
    FileChooser m_chooseFile;
    int m_jobs = 16;
};

} // namespace nodalyx
