#include "FrmMain.h"

#include "CounterReadout.h"
#include "FrmCommLog.h"
#include "FrmConfiguration.h"
#include "FrmNewLocation.h"
#include "FrmSites.h"
#include "FrmUnitConfiguration.h"
#include "FrmUpload.h"
#include "HighwayStore.h"
#include "HighwayTraffic.h"
#include "Link.h"
#include "LocationStore.h"
#include "LoggerSession.h"
#include "MainViews.h"
#include "MonitorPanel.h"
#include "PcbTestTab.h"
#include "TrafficLogBuffer.h"
#include "TrafficRecorder.h"
#include "TransferTraffic.h"
#include "WindowPlacement.h"
#include "ui_FrmMain.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QDir>
#include <QFileSystemWatcher>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QStatusBar>
#include <QTimer>

static void initAppResources() {
    Q_INIT_RESOURCE(nodalyx_app);
}

namespace nodalyx {

namespace {

constexpr int kTestTab = 2;
constexpr int kRelistDelayMs = 200;

bool opensEditor(const QKeyEvent& key) {
    const bool plain = (key.modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    return plain &&
           (key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter || key.key() == Qt::Key_F2);
}

} // namespace

FrmMain::FrmMain(SharedState& state, Operator& op, QWidget* parent)
    : QMainWindow(parent), m_ui(std::make_unique<Ui::FrmMain>()), m_state(state), m_op(op),
      m_runDialog([](QDialog& dialog) { dialog.exec(); }) {
    initAppResources();
    m_ui->setupUi(this);
    m_ui->Image1->setPixmap(QPixmap(QStringLiteral(":/nodalyx/nodalyx-config.png")));
    setWindowIcon(QIcon(QStringLiteral(":/nodalyx/nodalyx-config.png")));
    m_link = new Link(m_state.settings, this);
    // While monitoring, what the link has to say goes to the status bar: the monitor goes on.
    connect(m_link, &Link::notice, this, [this](const QString& text, Operator::Icon icon) {
        if (m_monitor && m_monitor->isRunning())
            m_monitor->showNotice(text);
        else
            m_op.message(text, icon);
    });
    connect(m_link, &Link::framingErrorsChanged, this,
            [this](int count) { m_ui->lblError->setText(QString::number(count)); });
    m_pcbTest = new PcbTestTab(*m_ui, m_state, *m_link, m_op, this);
    m_monitor = new MonitorPanel(*m_ui, *this, m_state, *m_link, m_op);
    m_monitor->showCounts = [this] { showCounts(); };
    recordTraffic();
    setupLists();
    connectControls();
    m_programDir = new QLabel(this);
    m_programDir->setObjectName(QStringLiteral("lblProgramDir"));
    m_programDir->setTextInteractionFlags(Qt::TextSelectableByMouse);
    statusBar()->addPermanentWidget(m_programDir);
    m_dirWatcher = new QFileSystemWatcher(this);
    m_relist = new QTimer(this);
    m_relist->setSingleShot(true);
    m_relist->setInterval(kRelistDelayMs);
    connect(m_dirWatcher, &QFileSystemWatcher::directoryChanged, m_relist,
            qOverload<>(&QTimer::start));
    connect(m_relist, &QTimer::timeout, this, &FrmMain::relistLocations);
}

FrmMain::~FrmMain() = default;

void FrmMain::setupLists() {
    for (QTreeWidget* list : {m_ui->LsvHW1, m_ui->LSVHW2, m_ui->LsvHW}) {
        list->header()->setSectionResizeMode(QHeaderView::Interactive);
        list->header()->setDefaultSectionSize(56);
        list->header()->resizeSection(1, 48);
        list->header()->resizeSection(3, 120);
        list->header()->setStretchLastSection(false);
        list->header()->setSectionResizeMode(2, QHeaderView::Stretch); // "Location"
    }
    for (QTreeWidget* list : {m_ui->LsvHW1, m_ui->LSVHW2}) {
        list->setSelectionMode(QAbstractItemView::ExtendedSelection); // units for the chart
        // Narrow count and change columns, so the location keeps its room while monitoring.
        for (int c = 4; c < kHighwayColumns; ++c)
            list->header()->resizeSection(c, c < kFirstCountColumn ? 44 : 52);
    }
    for (int c = 4; c < kTestColumns; ++c) // the narrow counter columns of the test list
        m_ui->LsvHW->header()->resizeSection(c, 40);
}

void FrmMain::connectControls() {
    connect(m_ui->CboLocation, &QComboBox::activated, this, &FrmMain::onLocationChosen);
    connect(m_ui->CmdNew, &QPushButton::clicked, this, &FrmMain::newLocation);
    connect(m_ui->mnuLocation, &QAction::triggered, this, &FrmMain::newLocation);
    connect(m_ui->CmdClose, &QPushButton::clicked, this, &FrmMain::close);
    connect(m_ui->mnuClose, &QAction::triggered, this, &FrmMain::close);
    connect(m_ui->CmdRefresh, &QPushButton::clicked, this, &FrmMain::refresh);
    connect(m_ui->mnuHWfiles, &QAction::triggered, this, &FrmMain::saveHWfiles);
    connect(m_ui->mnuGeneralSettings, &QAction::triggered, this, &FrmMain::generalSettings);
    connect(m_ui->mnuUpload, &QAction::triggered, this, &FrmMain::uploadConfiguration);
    connect(m_ui->mnuCommLog, &QAction::triggered, this, &FrmMain::communicationLog);
    connect(m_ui->mnuSites, &QAction::triggered, this, &FrmMain::sites);
    connect(m_ui->LsvHW1, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item) {
        editUnit(1, m_ui->LsvHW1->indexOfTopLevelItem(item) + 1);
    });
    connect(m_ui->LSVHW2, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item) {
        editUnit(2, m_ui->LSVHW2->indexOfTopLevelItem(item) + 1);
    });
    m_ui->LsvHW1->installEventFilter(this);
    m_ui->LSVHW2->installEventFilter(this);
    connect(m_ui->OptHW0, &QRadioButton::clicked, this, &FrmMain::FillTestList1);
    connect(m_ui->OptHW1, &QRadioButton::clicked, this, &FrmMain::FillTestList2);
}

void FrmMain::start() {
    m_ui->SSTab1->setTabVisible(kTestTab, m_state.ServiceMode);
    m_ui->SSTab1->setTabEnabled(kTestTab, false);
    m_state.DayNames = {QStringLiteral("Sunday"),   QStringLiteral("Monday"),
                        QStringLiteral("Tuesday"),  QStringLiteral("Wednesday"),
                        QStringLiteral("Thursday"), QStringLiteral("Friday"),
                        QStringLiteral("Saterday")};
    m_programDir->setText(tr("Locations: %1").arg(QDir::toNativeSeparators(m_state.programDir)));
    m_ui->CboLocation->clear();
    m_ui->CboLocation->addItems(GetFGR(m_state.programDir, m_op));
    m_ui->CboLocation->setCurrentIndex(-1);
    watchProgramDir();
    setSelectionDependentEnabled(false);
    m_ui->CboComport->clear();
    for (int port = 1; port <= 16; ++port)
        m_ui->CboComport->addItem(QString::number(port));
    m_ui->CboComport->setCurrentIndex(0);
    m_ui->lblVersion->setText(tr("Version %1.%2.%3")
                                  .arg(NODALYX_VERSION_MAJOR)
                                  .arg(NODALYX_VERSION_MINOR)
                                  .arg(NODALYX_VERSION_PATCH));
    resize(1000, 640);
    placeWindow(this);
}

QString FrmMain::locationName() const {
    return m_state.locationName;
}

void FrmMain::selectLocation(const QString& name) {
    m_ui->CboLocation->setCurrentIndex(name.isEmpty() ? -1 : m_ui->CboLocation->findText(name));
    onLocationChosen();
}

void FrmMain::setSelectionDependentEnabled(bool enabled) {
    m_ui->mnuConfiguration->setEnabled(enabled);
    m_ui->mnuConfiguration->menuAction()->setEnabled(enabled);
    m_ui->CmdRefresh->setEnabled(enabled);
    m_ui->SSTab1->setTabEnabled(kTestTab, enabled);
    m_monitor->locationChanged(enabled);
}

void FrmMain::onLocationChosen() {
    const QString name = m_ui->CboLocation->currentText();
    m_state.locationName = name;
    setSelectionDependentEnabled(!name.isEmpty());
    if (name.isEmpty())
        return;
    ReadFGR(m_state, name + QStringLiteral(".fgr"), m_op);
    showConnection();
    LoadHWfiles();
    if (m_state.ServiceMode) {
        m_ui->OptHW0->setChecked(true);
        FillTestList1();
    }
}

void FrmMain::watchProgramDir() {
    if (!m_dirWatcher->directories().isEmpty())
        m_dirWatcher->removePaths(m_dirWatcher->directories());
    m_dirWatcher->addPath(m_state.programDir);
}

void FrmMain::relistLocations() {
    QComboBox* list = m_ui->CboLocation;
    if (list->view()->isVisible()) {
        m_relist->start(); // the operator is choosing: not under the open list
        return;
    }
    const QString loaded = list->currentIndex() < 0 ? QString() : list->currentText();
    QStringList names = ListFGR(m_state.programDir);
    if (!loaded.isEmpty() && !names.contains(loaded)) {
        names << loaded; // its file went away; it stays loaded and listed until another is chosen
        names.sort(Qt::CaseInsensitive);
    }
    QStringList items;
    for (int i = 0; i < list->count(); ++i)
        items << list->itemText(i);
    if (items == names)
        return;
    // Only the items change: nothing is loaded again, so no edit in memory is lost.
    const QSignalBlocker quiet(list);
    list->clear();
    list->addItems(names);
    list->setCurrentIndex(loaded.isEmpty() ? -1 : list->findText(loaded));
}

void FrmMain::showConnection() {
    if (const auto text = connectionText(m_state.settings))
        m_ui->txtConnType->setText(*text);
}

void FrmMain::LoadHWfiles() {
    BusyGuard busy(m_op);
    const QString name = locationName();
    m_ui->LsvHW1->clear();
    if (ReadHW01(m_state, name, m_op))
        fillHighwayList(m_ui->LsvHW1, m_state.HW1Unit);
    m_ui->LSVHW2->clear();
    if (ReadHW02(m_state, name, m_op))
        fillHighwayList(m_ui->LSVHW2, m_state.HW2Unit);
    QApplication::processEvents();
}

void FrmMain::fillHighwayList(QTreeWidget* list, const UnitTable& table) {
    QList<QTreeWidgetItem*> rows;
    for (int i = 1; i <= kUnitsPerHighway; ++i)
        rows << new QTreeWidgetItem(highwayRowTexts(i, table[i]));
    list->addTopLevelItems(rows);
}

void FrmMain::updateRow(QTreeWidget* list, const UnitTable& table, int index) {
    QTreeWidgetItem* row = list->topLevelItem(index - 1);
    if (!row || index < 1 || index > kUnitsPerHighway)
        return;
    const QStringList texts = highwayRowTexts(index, table[index]);
    for (int c = 1; c <= 7; ++c)
        row->setText(c, texts[c]);
}

void FrmMain::UpdateRowHW1(int index) {
    updateRow(m_ui->LsvHW1, m_state.HW1Unit, index);
}

void FrmMain::UpdateRowHW2(int index) {
    updateRow(m_ui->LSVHW2, m_state.HW2Unit, index);
}

void FrmMain::fillTestList(const UnitTable& table) {
    m_ui->LsvHW->clear();
    QList<QTreeWidgetItem*> rows;
    for (int i = 1; i <= kUnitsPerHighway; ++i)
        rows << new QTreeWidgetItem(testRowTexts(i, table[i]));
    m_ui->LsvHW->addTopLevelItems(rows);
}

void FrmMain::FillTestList1() {
    fillTestList(m_state.HW1Unit);
}

void FrmMain::FillTestList2() {
    fillTestList(m_state.HW2Unit);
}

void FrmMain::editUnit(int highway, int index) {
    if (index < 1 || index > kUnitsPerHighway || (m_pcbTest && m_pcbTest->isRunning()))
        return; // the highway test holds the window until it has ended
    FrmUnitConfiguration editor(m_state, m_op, locationName(), this);
    editor.setInputs(QString::number(highway), QString::number(index));
    m_runDialog(editor);
    if (highway == 1)
        UpdateRowHW1(index);
    else
        UpdateRowHW2(index);
}

void FrmMain::newLocation() {
    FrmNewLocation window(m_state, m_op, this);
    m_runDialog(window);
    const QString name = window.NewName();
    if (name.isEmpty())
        return;
    m_ui->CboLocation->clear();
    m_ui->CboLocation->addItems(GetFGR(m_state.programDir, m_op));
    selectLocation(name);
}

void FrmMain::saveHWfiles() {
    WriteHW01(m_state, locationName(), m_op);
    WriteHW02(m_state, locationName(), m_op);
}

void FrmMain::generalSettings() {
    const QString name = locationName();
    if (name.isEmpty())
        return;
    {
        FrmConfiguration window(m_state, *m_link, m_op, this);
        window.setTransfers(transfers());
        m_runDialog(window);
        if (window.Gewijzigd())
            WriteFGR(m_state, name, m_op);
    }
    selectLocation(name); // shows what the location file holds now
}

void FrmMain::uploadConfiguration() {
    if (locationName().isEmpty())
        return;
    if (!m_upload) {
        auto* window = new FrmUpload(m_state, *m_link, m_op, this);
        m_upload = window;
        window->setTransfers(transfers());
    }
    m_runDialog(*m_upload);
}

void FrmMain::refresh() {
    // The read-out waits for the logger while events run; meanwhile the window takes no
    // clicks, so no second exchange or other location can start half-way.
    m_ui->centralwidget->setEnabled(false);
    menuBar()->setEnabled(false);
    const RefreshOutcome outcome = RefreshFromLogger(m_state, *m_link, m_op);
    m_ui->centralwidget->setEnabled(true);
    menuBar()->setEnabled(true);
    if (outcome.countersRead)
        showCounts();
}

void FrmMain::closeEvent(QCloseEvent* event) {
    m_monitor->monitor().stop();
    QMainWindow::closeEvent(event);
}

bool FrmMain::eventFilter(QObject* watched, QEvent* event) {
    auto* list = qobject_cast<QTreeWidget*>(watched);
    if (event->type() == QEvent::KeyPress && (list == m_ui->LsvHW1 || list == m_ui->LSVHW2) &&
        opensEditor(*static_cast<QKeyEvent*>(event))) {
        if (QTreeWidgetItem* row = list->currentItem())
            editUnit(list == m_ui->LsvHW1 ? 1 : 2, list->indexOfTopLevelItem(row) + 1);
        return true; // taken here: no default button or item-view action follows
    }
    return QMainWindow::eventFilter(watched, event);
}

void FrmMain::showCounts() {
    const std::pair<QTreeWidget*, const UnitTable*> lists[] = {{m_ui->LsvHW1, &m_state.HW1Unit},
                                                               {m_ui->LSVHW2, &m_state.HW2Unit}};
    for (const auto& [list, table] : lists) {
        for (int i = 1; i <= kUnitsPerHighway; ++i) {
            QTreeWidgetItem* row = list->topLevelItem(i - 1);
            if (!row)
                break;
            const auto texts = countColumns((*table)[i]);
            for (int k = 0; k < 4; ++k)
                if (texts[k])
                    row->setText(kFirstCountColumn + k, *texts[k]);
        }
    }
}

// ---- the communication log ----

void FrmMain::recordTraffic() {
    m_trafficLog = std::make_unique<TrafficLogBuffer>();
    m_traffic = new TrafficRecorder(this);
    connect(m_traffic, &TrafficRecorder::recorded, this,
            [this](const TrafficEntry& entry) { m_trafficLog->append(trafficLine(entry)); });
    m_traffic->watchLink(*m_link);
    hw::recordHighwayTest(m_pcbTest->test(), *m_traffic);
}

SharedTransferLink* FrmMain::transfers() {
    if (!m_transfers) {
        m_transfers = std::make_unique<SharedTransferLink>(*m_link);
        m_transfers->setOnCreated(
            [this](FileTransferLink& transfer) { recordTransfer(transfer, *m_traffic); });
    }
    return m_transfers.get();
}

void FrmMain::sites() {
    if (!m_sites) {
        m_sites = new FrmSites(m_state.programDir, m_op, this);
        connect(m_sites, &FrmSites::locationChosen, this, [this](const QString& name) {
            if (!m_monitor->isRunning() && !(m_pcbTest && m_pcbTest->isRunning()))
                selectLocation(name);
            raise();
            activateWindow();
        });
    } else {
        m_sites->relist();
    }
    m_sites->show();
    m_sites->raise();
    m_sites->activateWindow();
}

void FrmMain::communicationLog() {
    if (!m_commLog)
        m_commLog = new FrmCommLog(*m_trafficLog, m_op, this);
    m_commLog->show();
    m_commLog->raise();
    m_commLog->activateWindow();
}

} // namespace nodalyx
