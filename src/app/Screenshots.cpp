#include "Screenshots.h"

#include "FrmCommLog.h"
#include "FrmConfiguration.h"
#include "FrmMain.h"
#include "FrmNewLocation.h"
#include "FrmSites.h"
#include "FrmUnitConfiguration.h"
#include "FrmUpload.h"
#include "MonitorPanel.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QEventLoop>
#include <QLineEdit>
#include <QPushButton>
#include <QTextStream>
#include <QTimer>
#include <QTreeWidget>

namespace nodalyx {

namespace {

bool grabInto(QWidget& window, const QString& dir, const QString& fileName) {
    window.show();
    window.raise();
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();
    const QString path = QDir(dir).filePath(fileName);
    const bool ok = window.grab().save(path);
    QTextStream(stderr) << (ok ? "wrote " : "could not write ") << path << '\n';
    return ok;
}

void fillExample(FrmNewLocation& window) {
    const std::pair<const char*, const char*> texts[] = {
        {"txtName", "North entrance"}, {"txtIPaddress7", "192"}, {"txtIPaddress6", "168"},
        {"txtIPaddress5", "1"},        {"txtIPaddress4", "40"},  {"txtPortNumber1", "10001"}};
    for (const auto& [name, text] : texts)
        window.findChild<QLineEdit*>(QLatin1String(name))->setText(QLatin1String(text));
    window.findChild<QComboBox*>(QStringLiteral("CboConnType"))->setCurrentIndex(1);
}

void runEventsFor(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// The main window while monitoring (monitor.png) with two units selected, and the chart of
// those units (monitor-chart.png) after about half a minute of reads every second.
int grabMonitoring(FrmMain& main, const QString& dir) {
    auto* list = main.findChild<QTreeWidget*>(QStringLiteral("LsvHW1"));
    list->clearSelection();
    for (int row : {0, 5})
        list->topLevelItem(row)->setSelected(true);
    MonitorPanel& panel = *main.monitorPanel();
    panel.onMonitorClicked();
    if (!panel.isRunning())
        return 2;
    panel.onChartClicked();
    runEventsFor(30000);
    int failures = grabInto(main, dir, QStringLiteral("monitor.png")) ? 0 : 1;
    if (QWidget* chart = panel.chartWindow()) {
        chart->resize(900, 520);
        failures += grabInto(*chart, dir, QStringLiteral("monitor-chart.png")) ? 0 : 1;
        chart->hide();
    }
    panel.onMonitorClicked(); // stop
    while (panel.isRunning())
        runEventsFor(100);
    list->clearSelection();
    return failures;
}

// The Sites window after "Check all" (sites.png).
int grabSites(FrmMain& main, const QString& dir) {
    main.sites();
    FrmSites& sites = *main.sitesWindow();
    QEventLoop loop;
    QObject::connect(&sites, &FrmSites::surveyEnded, &loop, &QEventLoop::quit);
    sites.checkAll();
    if (sites.isRunning())
        loop.exec();
    const int failures = grabInto(sites, dir, QStringLiteral("sites.png")) ? 0 : 1;
    sites.hide();
    return failures;
}

} // namespace

int takeScreenshots(FrmMain& main, SharedState& state, Operator& op, const QString& dir) {
    QDir().mkpath(dir);
    int failures = 0;
    const auto* locations = main.findChild<QComboBox*>(QStringLiteral("CboLocation"));
    if (locations->count() > 0) {
        main.selectLocation(locations->itemText(0));
        main.refresh();
    }
    failures += grabInto(main, dir, QStringLiteral("main-window.png")) ? 0 : 1;

    // The communication log with the frames of that Refresh.
    main.communicationLog();
    failures +=
        grabInto(*main.commLogWindow(), dir, QStringLiteral("communication-log.png")) ? 0 : 1;
    main.commLogWindow()->hide();

    if (!main.locationName().isEmpty())
        failures += grabMonitoring(main, dir);

    failures += grabSites(main, dir);

    FrmUnitConfiguration editor(state, op, main.locationName(), &main);
    editor.setInputs(QStringLiteral("1"), QStringLiteral("1"));
    failures += grabInto(editor, dir, QStringLiteral("unit-editor.png")) ? 0 : 1;
    editor.hide();

    FrmNewLocation newLocation(state, op, &main);
    fillExample(newLocation);
    failures += grabInto(newLocation, dir, QStringLiteral("new-location.png")) ? 0 : 1;
    newLocation.hide();

    if (main.link() && !main.locationName().isEmpty()) {
        FrmConfiguration configuration(state, *main.link(), op, &main);
        configuration.show();
        configuration.findChild<QCheckBox*>(QStringLiteral("ChkGeneral"))->setChecked(true);
        configuration.startDownload();
        failures += grabInto(configuration, dir, QStringLiteral("configuration.png")) ? 0 : 1;
        configuration.hide();

        // The upload window after a whole run with its read-back.
        FrmUpload upload(state, *main.link(), op, &main);
        for (const char* box : {"ChkGeneralSettings", "ChkHW1", "ChkHW2", "ChkVerify"})
            upload.findChild<QCheckBox*>(QLatin1String(box))->setChecked(true);
        upload.show();
        upload.findChild<QPushButton*>(QStringLiteral("CmdUpload"))->click();
        failures += grabInto(upload, dir, QStringLiteral("upload.png")) ? 0 : 1;
        upload.hide();
    }
    return failures;
}

} // namespace nodalyx
