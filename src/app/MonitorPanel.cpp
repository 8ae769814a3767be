#include "MonitorPanel.h"

#include "MainViews.h"
#include "TextConvert.h"
#include "ui_FrmMain.h"

#ifdef NODALYX_HAVE_CHARTS
#include "FrmCountChart.h"
#endif

#include <QDir>
#include <QFileDialog>
#include <QHeaderView>
#include <QMainWindow>
#include <QStatusBar>
#include <QTreeWidget>

namespace nodalyx {

namespace {

constexpr int kStatusMs = 0; // a read's status stays until the next one
const QColor kChanged(255, 236, 140);

QTreeWidget* listOf(Ui::FrmMain& ui, int highway) {
    return highway == 1 ? ui.LsvHW1 : ui.LSVHW2;
}

// "+4" for a change, "0" for none on a channel in use, nothing for a channel out of use that
// did not count.
QString changeText(std::optional<qint64> change, bool inUse) {
    if (!change || (*change == 0 && !inUse))
        return {};
    return *change > 0 ? QStringLiteral("+%1").arg(*change) : QString::number(*change);
}

bool channelInUse(const UnitConfig& unit, int channel) {
    return unit.Active && (channel == 1 || !trimBlanks(unit.HWaddress).isEmpty());
}

QString durationText(qint64 ms) {
    return ms < 1000 ? MonitorPanel::tr("%1 ms").arg(ms)
                     : MonitorPanel::tr("%1 s").arg(double(ms) / 1000.0, 0, 'f', 1);
}

} // namespace

MonitorPanel::MonitorPanel(Ui::FrmMain& ui, QMainWindow& window, SharedState& state, Link& link,
                           Operator& op)
    : QObject(&window), m_ui(ui), m_window(window), m_state(state), m_op(op),
      m_monitor(state, link, op) {
    m_chooseFile = [this](const QString& suggested) {
        return QFileDialog::getSaveFileName(&m_window, tr("Record counts"), suggested,
                                            tr("Count records (*.csv);;All files (*)"), nullptr,
                                            QFileDialog::DontConfirmOverwrite);
    };
    connect(m_ui.CmdMonitor, &QPushButton::clicked, this, &MonitorPanel::onMonitorClicked);
    connect(m_ui.CmdRecord, &QPushButton::clicked, this, &MonitorPanel::onRecordClicked);
    connect(m_ui.CmdChart, &QPushButton::clicked, this, &MonitorPanel::onChartClicked);
    connect(&m_monitor, &CounterMonitor::readDone, this, &MonitorPanel::onRead);
    connect(&m_monitor, &CounterMonitor::finished, this, &MonitorPanel::onFinished);
#ifndef NODALYX_HAVE_CHARTS
    m_ui.CmdChart->hide(); // this build has no charts
#endif
    setChangeColumnsVisible(false);
}

MonitorPanel::~MonitorPanel() = default;

QWidget* MonitorPanel::chartWindow() const {
#ifdef NODALYX_HAVE_CHARTS
    return m_chart;
#else
    return nullptr;
#endif
}

void MonitorPanel::onMonitorClicked() {
    if (m_monitor.isRunning()) {
        // Between reads it ends at once (and the button is given back before stop() returns).
        m_ui.CmdMonitor->setText(tr("Stopping..."));
        m_ui.CmdMonitor->setEnabled(false);
        m_monitor.stop();
        return;
    }
    m_ui.CmdMonitor->setChecked(false);
    // The serial number is checked once, now; the window takes no clicks meanwhile.
    m_locked.lock({m_ui.centralwidget, m_ui.menubar});
    const bool running = m_monitor.start(m_ui.SpnEvery->value() * 1000);
    m_locked.unlock();
    if (running)
        started();
}

void MonitorPanel::started() {
    m_locked.lock({m_ui.CboLocation, m_ui.CmdNew, m_ui.CmdRefresh, m_ui.SpnEvery, m_ui.CmdStart},
                  {m_ui.mnuConfiguration->menuAction(), m_ui.mnuLocation});
    m_ui.CmdMonitor->setChecked(true);
    m_ui.CmdMonitor->setText(tr("&Stop"));
    m_ui.CmdMonitor->setFocus();
    setChangeColumnsVisible(true);
#ifdef NODALYX_HAVE_CHARTS
    if (m_chart)
        m_chart->clear();
#endif
    m_window.statusBar()->showMessage(
        tr("Monitoring every %n s...", nullptr, m_ui.SpnEvery->value()));
}

void MonitorPanel::onRead(const MonitorRead& read) {
    if (showCounts)
        showCounts();
    showChanges(true);
    m_window.statusBar()->showMessage(statusText(read), kStatusMs);
    if (m_record.isOpen() && !m_record.write(read)) {
        const QString why = m_record.errorString();
        m_record.close();
        showRecording();
        m_op.message(why, Operator::Icon::Critical);
    }
#ifdef NODALYX_HAVE_CHARTS
    if (m_chart)
        m_chart->addRead(read);
#endif
}

QString MonitorPanel::statusText(const MonitorRead& read) const {
    const QString time = read.time.toString(QStringLiteral("HH:mm:ss"));
    if (!read.ok)
        return tr("Read %1 at %2 failed (%3 of 3 in a row): %4")
            .arg(read.number)
            .arg(time)
            .arg(m_monitor.failuresInRow())
            .arg(read.failure);
    int changed = 0;
    for (int hw = 1; hw <= 2; ++hw)
        for (int a = 0; a < kUnitsPerHighway; ++a)
            changed += m_monitor.changedInLastRead(hw, a) ? 1 : 0;
    const QString what = changed == 0   ? tr("no change")
                         : changed == 1 ? tr("1 unit changed")
                                        : tr("%1 units changed").arg(changed);
    return tr("Read %1 at %2 (%3): %4")
        .arg(read.number)
        .arg(time, durationText(read.durationMs), what);
}

void MonitorPanel::onFinished(CounterMonitor::End end) {
    m_locked.unlock();
    m_ui.CmdMonitor->setChecked(false);
    m_ui.CmdMonitor->setText(tr("&Monitor"));
    m_ui.CmdMonitor->setEnabled(true);
    if (end == CounterMonitor::End::Failures) {
        m_window.statusBar()->showMessage(CounterMonitor::failuresText());
        m_op.message(CounterMonitor::failuresText(), Operator::Icon::Warning);
    } else {
        m_window.statusBar()->showMessage(tr("Monitoring stopped."));
    }
}

// The change columns of every unit followed; the highlight on the units whose counts changed
// in the last read.
void MonitorPanel::showChanges(bool highlight) {
    for (int hw = 1; hw <= 2; ++hw) {
        QTreeWidget* list = listOf(m_ui, hw);
        for (int a = 0; a < kUnitsPerHighway; ++a) {
            QTreeWidgetItem* row = list->topLevelItem(a);
            if (!row)
                break;
            const UnitConfig& unit = m_state.table(hw)[a + 1];
            for (int k = 0; k < 4; ++k) {
                const int channel = k < 2 ? 1 : 2;
                row->setText(kFirstChangeColumn + k,
                             changeText(m_monitor.change(hw, a, channel, k % 2 == 0),
                                        channelInUse(unit, channel)));
            }
            const bool lit = highlight && m_monitor.changedInLastRead(hw, a);
            for (int c = 0; c < kHighwayColumns; ++c)
                row->setBackground(c, lit ? QBrush(kChanged) : QBrush());
        }
    }
}

void MonitorPanel::setChangeColumnsVisible(bool visible) {
    for (int hw = 1; hw <= 2; ++hw) {
        for (int k = 0; k < 4; ++k) {
            listOf(m_ui, hw)->setColumnHidden(kFirstChangeColumn + k, !visible);
            listOf(m_ui, hw)->header()->resizeSection(kFirstChangeColumn + k, 52);
        }
    }
}

void MonitorPanel::locationChanged(bool chosen) {
    setChangeColumnsVisible(false);
    m_ui.CmdMonitor->setEnabled(chosen);
    m_ui.CmdRecord->setEnabled(chosen);
}

void MonitorPanel::showNotice(const QString& text) {
    m_window.statusBar()->showMessage(text);
}

void MonitorPanel::onRecordClicked() {
    if (m_record.isOpen()) {
        m_record.close();
        showRecording();
        return;
    }
    const QString suggested =
        QDir(m_state.programDir)
            .filePath(tr("%1 counts %2.csv")
                          .arg(m_state.locationName, QDate::currentDate().toString(Qt::ISODate)));
    const QString file = m_chooseFile(suggested);
    if (file.isEmpty())
        return;
    if (!m_record.open(file))
        m_op.message(m_record.errorString(), Operator::Icon::Critical);
    showRecording();
}

void MonitorPanel::showRecording() {
    const bool on = m_record.isOpen();
    m_ui.CmdRecord->setText(on ? tr("Stop recording co&unts") : tr("Record co&unts..."));
    m_ui.CmdRecord->setToolTip(
        on ? tr("Recording to %1").arg(QDir::toNativeSeparators(m_record.path()))
           : tr("Write every read while monitoring to a CSV file"));
    if (on)
        m_window.statusBar()->showMessage(
            tr("Recording the counts to %1").arg(QDir::toNativeSeparators(m_record.path())));
}

void MonitorPanel::onChartClicked() {
#ifdef NODALYX_HAVE_CHARTS
    if (!m_chart)
        m_chart = new FrmCountChart(&m_window);
    QList<std::tuple<int, int, int>> units;
    for (int hw = 1; hw <= 2; ++hw)
        for (QTreeWidgetItem* row : listOf(m_ui, hw)->selectedItems()) {
            const int address = listOf(m_ui, hw)->indexOfTopLevelItem(row);
            units << std::tuple(hw, address, 1) << std::tuple(hw, address, 2);
        }
    m_chart->selectUnits(units);
    m_chart->show();
    m_chart->raise();
    m_chart->activateWindow();
#endif
}

} // namespace nodalyx
