#include "FrmUpload.h"

#include "HighwayFileStep.h"
#include "LinkEndpoint.h"
#include "ui_FrmUpload.h"

#include <QClipboard>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>

namespace nodalyx {

FrmUpload::FrmUpload(SharedState& state, Link& link, Operator& op, QWidget* parent)
    : QDialog(parent), m_ui(std::make_unique<Ui::FrmUpload>()), m_state(state), m_link(link),
      m_op(op) {
    m_ui->setupUi(this);
    m_ui->PgbHW01->hide();
    m_ui->PgbHW02->hide();
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        move((area.width() - width()) / 2, (area.height() - height()) / 2);
    }
    connect(m_ui->CmdUpload, &QPushButton::clicked, this, &FrmUpload::upload);
    connect(m_ui->CmdClose, &QPushButton::clicked, this, &FrmUpload::reject);
    connect(m_ui->CmdCancel, &QPushButton::clicked, this, &FrmUpload::cancel);
    connect(m_ui->CmdCopy, &QPushButton::clicked, this,
            [this] { QGuiApplication::clipboard()->setText(m_report); });
}

FrmUpload::~FrmUpload() = default;

void FrmUpload::appendLine(const QString& line) {
    m_report += line + QStringLiteral("\r\n");
    m_ui->txtResult->appendPlainText(line);
}

// During a run Cancel is the one control that acts.
void FrmUpload::setRunning(bool running) {
    m_running = running;
    for (QWidget* w : std::initializer_list<QWidget*>{m_ui->CmdUpload, m_ui->CmdClose,
                                                      m_ui->CmdCopy, m_ui->ChkGeneralSettings,
                                                      m_ui->ChkHW1, m_ui->ChkHW2, m_ui->ChkVerify})
        w->setEnabled(!running);
    m_ui->CmdCancel->setEnabled(running);
    if (running)
        m_ui->CmdCancel->setFocus();
}

// Stops after the item or packet under way; the sequence closes the link and says so.
void FrmUpload::cancel() {
    if (!m_running || m_cancel.requested())
        return;
    m_cancel.request();
    if (m_transfers && m_transfers->created())
        m_transfers->get().requestCancel();
    m_ui->CmdCancel->setEnabled(false);
    appendLine(tr("Cancelling after the item under way..."));
}

// The window is kept while locations change: it names the one it sends to each time it opens.
void FrmUpload::showTarget() {
    QString error;
    const std::optional<LinkEndpoint> endpoint = endpointFor(m_state.settings, &error);
    QString where = error;
    if (endpoint)
        where = endpoint->isSerial() ? tr("serial port %1 (%2)")
                                           .arg(qRound(m_state.settings.Comport))
                                           .arg(endpoint->device)
                                     : endpoint->text();
    m_ui->lblTarget->setText(tr("Location \"%1\", sent to %2").arg(m_state.locationName, where));
}

void FrmUpload::showEvent(QShowEvent* event) {
    showTarget();
    QDialog::showEvent(event);
}

// A file acknowledged whole shows a full bar.
void FrmUpload::showProgress(const TransferProgress& p) {
    QProgressBar* shown = p.highway == 1 ? m_ui->PgbHW01 : m_ui->PgbHW02;
    shown->setRange(0, std::max(1, p.maximum));
    shown->setValue(p.finished ? shown->maximum() : std::min(p.value, shown->maximum()));
    shown->setVisible(true);
}

// The highway files go through the transfer component; the step is made once and kept. The
// window outlives every run (see event), so the step may call back into it.
HighwayStep FrmUpload::highwaySteps() {
    if (!m_files) {
        if (!m_transfers) {
            m_ownTransfers = std::make_unique<SharedTransferLink>(m_link);
            m_transfers = m_ownTransfers.get();
        }
        m_files = std::make_unique<HighwayFileStep>(
            m_state, m_link, m_transfers->get(), m_op,
            [this](const TransferProgress& p) { showProgress(p); });
    }
    return m_files->step();
}

void FrmUpload::upload() {
    if (m_running)
        return;
    m_ui->txtResult->clear();
    m_report.clear();
    m_cancel.reset();
    showTarget();
    setRunning(true);
    const UploadChoice choice{m_ui->ChkGeneralSettings->isChecked(), m_ui->ChkHW1->isChecked(),
                              m_ui->ChkHW2->isChecked(), m_ui->ChkVerify->isChecked()};
    const HighwayStep files = choice.hw1 || choice.hw2 ? highwaySteps() : HighwayStep();
    const UploadOutcome out = UploadConfiguration(
        m_state, m_link, m_op, choice, files, [this](const QString& line) { appendLine(line); },
        &m_cancel);
    setRunning(false);
    if (!out.finalMessage.isEmpty())
        m_op.message(finalMessageText(out),
                     out.ok ? Operator::Icon::Information : Operator::Icon::Critical);
    m_heldDelete.runEnded();
}

// A deferred delete during a run would pull the window away under the waiting routine: hold
// it, cancel the run, and delete once the run has ended.
bool FrmUpload::event(QEvent* event) {
    if (!m_heldDelete.hold(event, m_running))
        return QDialog::event(event);
    cancel();
    return true;
}

// While a run is in its waits the window stays open.
void FrmUpload::closeEvent(QCloseEvent* event) {
    if (m_running)
        event->ignore();
    else
        QDialog::closeEvent(event);
}

void FrmUpload::reject() {
    if (m_running)
        cancel();
    else
        QDialog::reject();
}

} // namespace nodalyx
