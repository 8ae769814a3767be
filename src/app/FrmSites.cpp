#include "FrmSites.h"

#include "LocationStore.h"
#include "WindowPlacement.h"
#include "Windows1252.h"
#include "ui_FrmSites.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QHeaderView>
#include <QKeyEvent>
#include <QSaveFile>

namespace nodalyx {

namespace {

constexpr int kReasonWidth = 260;

QTableWidgetItem* cell(const QVariant& value) {
    auto* item = new QTableWidgetItem;
    item->setData(Qt::DisplayRole, value);
    return item;
}

QString yesNo(std::optional<bool> value) {
    if (!value)
        return {};
    return *value ? FrmSites::tr("Yes") : FrmSites::tr("No");
}

QString differencesText(const std::optional<QStringList>& differences) {
    if (!differences)
        return {};
    if (differences->isEmpty())
        return FrmSites::tr("none");
    return QStringLiteral("%1: %2")
        .arg(differences->size())
        .arg(differences->join(QStringLiteral(", ")));
}

// The cells of a location's row, by column.
QList<QVariant> rowValues(const SurveyResult& r) {
    QList<QVariant> values(FrmSites::ColumnCount);
    values[FrmSites::Location] = r.location;
    values[FrmSites::Reached] = yesNo(r.reached);
    values[FrmSites::Reason] = r.reason;
    values[FrmSites::Serial] = r.serial.value_or(QString());
    values[FrmSites::SerialMatches] = yesNo(r.serialMatches);
    values[FrmSites::LoggerClock] = r.loggerClock.value_or(QString());
    if (r.driftMinutes)
        values[FrmSites::Drift] = *r.driftMinutes; // a number: it sorts as one
    values[FrmSites::Differences] = differencesText(r.differences);
    values[FrmSites::ClockSet] = r.clockSet ? FrmSites::tr("Set") : QString();
    return values;
}

} // namespace

FrmSites::FrmSites(const QString& programDir, Operator& op, QWidget* parent)
    : QDialog(parent), m_ui(std::make_unique<Ui::FrmSites>()), m_programDir(programDir), m_op(op) {
    m_ui->setupUi(this);
    m_ui->TblSites->setColumnCount(ColumnCount);
    m_ui->TblSites->setHorizontalHeaderLabels(
        {tr("Location"), tr("Reached"), tr("Why not"), tr("Serial number"), tr("Expected"),
         tr("Logger clock"), tr("Drift (min)"), tr("Settings differing"), tr("Clock")});
    m_ui->TblSites->verticalHeader()->hide();
    m_ui->TblSites->horizontalHeader()->setStretchLastSection(true);
    m_chooseFile = [](QWidget* parent) {
        return QFileDialog::getSaveFileName(parent, tr("Export sites"), QString(),
                                            tr("CSV files (*.csv);;All files (*)"));
    };
    connect(m_ui->CmdCheckAll, &QPushButton::clicked, this, &FrmSites::checkAll);
    connect(m_ui->CmdCheckSelected, &QPushButton::clicked, this, &FrmSites::checkSelected);
    connect(m_ui->CmdSetClocks, &QPushButton::clicked, this, &FrmSites::setClocksOfSelected);
    connect(m_ui->CmdCancel, &QPushButton::clicked, this, &FrmSites::cancel);
    connect(m_ui->CmdExport, &QPushButton::clicked, this, &FrmSites::exportCsv);
    connect(m_ui->CmdClose, &QPushButton::clicked, this, &QDialog::close);
    connect(m_ui->TblSites, &QTableWidget::cellDoubleClicked, this,
            [this](int row, int) { chooseRow(row); });
    connect(&m_runner, &SurveyRunner::resultReady, this, &FrmSites::showResult);
    connect(&m_runner, &SurveyRunner::progress, this, &FrmSites::showProgress);
    connect(&m_runner, &SurveyRunner::finished, this, &FrmSites::ended);
    resize(980, 520);
    relist();
    placeWindow(this);
}

FrmSites::~FrmSites() {
    m_runner.cancel();
}

bool FrmSites::isRunning() const {
    return m_runner.isRunning();
}

void FrmSites::relist() {
    QTableWidget* table = m_ui->TblSites;
    table->setSortingEnabled(false);
    table->setRowCount(0);
    for (const QString& name : ListFGR(m_programDir)) {
        const int row = table->rowCount();
        table->insertRow(row);
        const QList<QVariant> values = m_results.contains(name)
                                           ? rowValues(m_results.value(name))
                                           : QList<QVariant>(ColumnCount); // not checked yet
        for (int c = 0; c < ColumnCount; ++c)
            table->setItem(row, c, cell(c == Location ? QVariant(name) : values[c]));
    }
    table->setSortingEnabled(true);
    fitColumns();
}

// Every column as wide as its contents, but a long reason leaves room for the others.
void FrmSites::fitColumns() {
    m_ui->TblSites->resizeColumnsToContents();
    if (m_ui->TblSites->columnWidth(Reason) > kReasonWidth)
        m_ui->TblSites->setColumnWidth(Reason, kReasonWidth);
}

void FrmSites::checkAll() {
    QStringList all;
    for (int row = 0; row < m_ui->TblSites->rowCount(); ++row)
        all << m_ui->TblSites->item(row, Location)->text();
    SurveyOptions options;
    options.settings = m_ui->ChkSettings->isChecked();
    start(all, options);
}

void FrmSites::checkSelected() {
    SurveyOptions options;
    options.settings = m_ui->ChkSettings->isChecked();
    start(selectedLocations(), options);
}

void FrmSites::setClocksOfSelected() {
    const QStringList chosen = selectedLocations();
    if (chosen.isEmpty() || isRunning())
        return;
    const QString question =
        tr("Set the clocks of these loggers to the PC's time?\n\n%1\n\nA logger is set only when "
           "it answers with the location's serial number and its clock is off by a minute or "
           "more; each clock is read back.")
            .arg(chosen.join(QLatin1Char('\n')));
    if (!m_op.askYesNo(question, Operator::Icon::Question, tr("Set clocks"), Operator::Answer::No))
        return;
    SurveyOptions options;
    options.settings = m_ui->ChkSettings->isChecked();
    options.syncClock = true;
    options.maxDriftMinutes = 0;
    start(chosen, options);
}

void FrmSites::start(const QStringList& locations, const SurveyOptions& given) {
    if (locations.isEmpty() || isRunning())
        return;
    SurveyOptions options = given;
    options.jobs = m_jobs;
    setRunning(true);
    m_ui->PrgSurvey->setRange(0, int(locations.size()));
    m_ui->PrgSurvey->setValue(0);
    m_ui->lblSummary->setText(tr("Checking %n location(s)...", nullptr, int(locations.size())));
    m_runner.start(m_programDir, locations, options);
}

void FrmSites::cancel() {
    if (!isRunning())
        return;
    m_ui->lblSummary->setText(tr("Cancelling after the exchanges under way..."));
    m_ui->CmdCancel->setEnabled(false);
    m_runner.cancel();
}

QStringList FrmSites::selectedLocations() const {
    QStringList names;
    for (const QModelIndex& index : m_ui->TblSites->selectionModel()->selectedRows(Location))
        names << index.data().toString();
    return names;
}

int FrmSites::rowOf(const QString& location) const {
    for (int row = 0; row < m_ui->TblSites->rowCount(); ++row)
        if (m_ui->TblSites->item(row, Location)->text() == location)
            return row;
    return -1;
}

void FrmSites::showResult(const SurveyResult& result) {
    m_results.insert(result.location, result);
    QTableWidget* table = m_ui->TblSites;
    const int row = rowOf(result.location);
    if (row < 0)
        return;
    table->setSortingEnabled(false); // rows keep their places while one is written
    const QList<QVariant> values = rowValues(result);
    for (int c = 0; c < ColumnCount; ++c)
        table->item(row, c)->setData(Qt::DisplayRole, values[c]);
    table->item(row, Reason)->setToolTip(result.reason); // the column may show it cut short
    table->setSortingEnabled(true);
}

void FrmSites::showProgress(int done, int total) {
    m_ui->PrgSurvey->setRange(0, total);
    m_ui->PrgSurvey->setValue(done);
}

void FrmSites::ended() {
    setRunning(false);
    // "Clock off": more than a minute and not set, as the command's default --max-drift.
    const SurveyTally t = tallySurvey(m_runner.results(), 1);
    m_ui->lblSummary->setText(tr("%1 checked: %2 reached, %3 not reached, %4 another logger, "
                                 "%5 clock off, %6 settings differing, %7 clock set")
                                  .arg(t.total)
                                  .arg(t.reached)
                                  .arg(t.notReached)
                                  .arg(t.otherSerial)
                                  .arg(t.driftLeft)
                                  .arg(t.differing)
                                  .arg(t.clocksSet));
    fitColumns();
    emit surveyEnded();
}

void FrmSites::setRunning(bool running) {
    for (QWidget* w :
         {static_cast<QWidget*>(m_ui->CmdCheckAll), static_cast<QWidget*>(m_ui->CmdCheckSelected),
          static_cast<QWidget*>(m_ui->CmdSetClocks), static_cast<QWidget*>(m_ui->ChkSettings)})
        w->setEnabled(!running);
    m_ui->CmdCancel->setEnabled(running);
    if (running)
        m_ui->CmdCancel->setFocus();
}

void FrmSites::exportCsv() {
    const QString path = m_chooseFile(this);
    if (path.isEmpty())
        return;
    QByteArray bytes = encodeWindows1252(surveyCsvHeader()) + "\r\n";
    for (int row = 0; row < m_ui->TblSites->rowCount(); ++row) {
        const QString name = m_ui->TblSites->item(row, Location)->text();
        if (m_results.contains(name))
            bytes += encodeWindows1252(surveyCsvLine(m_results.value(name))) + "\r\n";
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        m_op.message(
            tr("%1 cannot be written: %2").arg(QDir::toNativeSeparators(path), file.errorString()),
            Operator::Icon::Critical);
}

void FrmSites::chooseRow(int row) {
    if (row >= 0 && row < m_ui->TblSites->rowCount())
        emit locationChosen(m_ui->TblSites->item(row, Location)->text());
}

void FrmSites::keyPressEvent(QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && m_ui->TblSites->hasFocus()) {
        chooseRow(m_ui->TblSites->currentRow());
        return;
    }
    QDialog::keyPressEvent(event);
}

void FrmSites::closeEvent(QCloseEvent* event) {
    cancel(); // the surveys under way end after their exchange; their results still come in
    QDialog::closeEvent(event);
}

} // namespace nodalyx
