#include "PcbTestTab.h"

#include "MainViews.h"
#include "ui_FrmMain.h"

#include <QShortcut>

namespace nodalyx {

namespace {
// The button's colours: green 49152 (RGB 0, 192, 0) while idle, red 255 while running.
const char* const kGreen = "QPushButton { background-color: rgb(0, 192, 0); }";
const char* const kRed = "QPushButton { background-color: rgb(255, 0, 0); }";
constexpr int kFirstTestColumn = 4; // TX
} // namespace

PcbTestTab::PcbTestTab(Ui::FrmMain& ui, SharedState& state, Link& link, Operator& op,
                       QObject* parent)
    : QObject(parent), m_ui(ui), m_test(state, link, op),
      m_escape(new QShortcut(QKeySequence(Qt::Key_Escape), m_ui.centralwidget)) {
    connect(m_ui.CmdStart, &QPushButton::clicked, this, &PcbTestTab::onStartClicked);
    // Escape anywhere in the main window does what "Stop" does, while the test runs.
    m_escape->setObjectName(QStringLiteral("StopShortcut"));
    connect(m_escape, &QShortcut::activated, this, &PcbTestTab::stopTest);
    connect(&m_test, &hw::HighwayTest::stateChanged, this, &PcbTestTab::showState);
    connect(&m_test, &hw::HighwayTest::rowChanged, this, &PcbTestTab::showRow);
    connect(&m_test, &hw::HighwayTest::rowsReset, this, &PcbTestTab::resetRows);
    connect(&m_test, &hw::HighwayTest::passFinished, this, [this](int passes) {
        if (m_test.state() == hw::HighwayTest::State::Running)
            m_ui.lblCount->setText(tr("Pass %1").arg(passes + 1));
    });
    m_ui.CmdStart->setEnabled(true);
    showState(hw::HighwayTest::State::Idle);
}

void PcbTestTab::stopTest() {
    m_test.requestStop();
}

void PcbTestTab::onStartClicked() {
    if (m_test.state() == hw::HighwayTest::State::Running) {
        stopTest();
        return;
    }
    if (m_test.isRunning())
        return; // stopping: the button is disabled, but a queued click may still arrive
    const int highway = m_ui.OptHW1->isChecked() ? 2 : 1;
    lockWindow(true);
    m_test.TestHW(highway, m_ui.CboComport->currentText());
    lockWindow(false);
}

void PcbTestTab::showState(hw::HighwayTest::State state) {
    using State = hw::HighwayTest::State;
    const bool running = state == State::Running;
    m_ui.CmdStart->setText(running ? QStringLiteral("Stop") : QStringLiteral("Start"));
    m_ui.CmdStart->setStyleSheet(QLatin1String(running ? kRed : kGreen));
    // While the poll in progress completes the button takes no click: a new test cannot start
    // inside the one that is ending.
    m_ui.CmdStart->setEnabled(state != State::Stopping);
    m_escape->setEnabled(running);
    m_ui.lblCount->setText(countText(state));
}

QString PcbTestTab::countText(hw::HighwayTest::State state) const {
    using State = hw::HighwayTest::State;
    if (state == State::Running)
        return tr("Pass 1");
    if (state == State::Stopping)
        return tr("Stopping...");
    const int passes = m_test.passes();
    if (m_test.stopped() && m_test.passesBegun() > passes)
        return tr("Stopped in pass %1").arg(m_test.passesBegun());
    const QString done = passes == 1 ? tr("1 pass") : tr("%1 passes").arg(passes);
    if (m_test.stopped())
        return tr("Stopped after %1").arg(done);
    return passes > 0 ? done : QString();
}

void PcbTestTab::showRow(int index) {
    QTreeWidgetItem* item = m_ui.LsvHW->topLevelItem(index - 1);
    if (!item)
        return;
    const QStringList texts = hw::testColumnTexts(m_test.row(index));
    for (int k = 0; k < texts.size() && kFirstTestColumn + k < kTestColumns; ++k)
        item->setText(kFirstTestColumn + k, texts[k]);
}

void PcbTestTab::resetRows() {
    m_ui.lblCount->clear(); // a new start: nothing of the last run's passes stays
    for (int i = 1; i <= m_ui.LsvHW->topLevelItemCount(); ++i)
        showRow(i);
}

void PcbTestTab::lockWindow(bool lock) {
    if (!lock) {
        m_locked.unlock();
        return;
    }
    // The location, the highway and the port stay as the test found them; the logger is the
    // test's (its link is leased) until it ends.
    // The communication log stays at hand, to watch the polls.
    m_locked.lock({m_ui.CboLocation, m_ui.CmdNew, m_ui.CmdRefresh, m_ui.CmdMonitor, m_ui.OptHW0,
                   m_ui.OptHW1, m_ui.CboComport},
                  {m_ui.mnuConfiguration->menuAction(), m_ui.mnuLocation});
}

} // namespace nodalyx
