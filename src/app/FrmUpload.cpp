#include "FrmUpload.h"

#include "HighwayFileStep.h"
#include "LinkEndpoint.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace nodalyx {

namespace {

QProgressBar* hiddenBar(const QString& name) {
    auto* bar = new QProgressBar;
    bar->setObjectName(name);
    bar->hide();
    return bar;
}

template <class W> W* named(W* widget, const char* name) {
    widget->setObjectName(QLatin1String(name));
    return widget;
}

} // namespace

FrmUpload::FrmUpload(SharedState& state, Link& link, Operator& op, QWidget* parent)
    : QDialog(parent), m_state(state), m_link(link), m_op(op) {
    setObjectName(QStringLiteral("FrmUpload"));
    setWindowTitle(QStringLiteral("Upload configuratie"));
    m_target = named(new QLabel, "lblTarget");
    m_target->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_general = named(new QCheckBox(QStringLiteral("&General settings")), "ChkGeneralSettings");
    m_result = named(new QPlainTextEdit, "txtResult");
    m_result->setReadOnly(true);
    m_result->setAccessibleName(QStringLiteral("Upload report"));
    m_verify = named(new QCheckBox(QStringLiteral("&Verify after upload")), "ChkVerify");
    m_upload = named(new QPushButton(QStringLiteral("&Upload")), "CmdUpload");
    m_copy = named(new QPushButton(QStringLiteral("Co&py report")), "CmdCopy");
    m_close = named(new QPushButton(QStringLiteral("&Close")), "CmdClose");
    m_cancelButton = named(new QPushButton(QStringLiteral("C&ancel")), "CmdCancel");
    m_cancelButton->setEnabled(false);
    m_cancelButton->setToolTip(QStringLiteral("Stop after the item under way (Esc)"));
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_upload);
    buttons->addWidget(m_cancelButton);
    buttons->addWidget(m_copy);
    buttons->addStretch();
    buttons->addWidget(m_close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_target);
    layout->addWidget(m_general);
    layout->addWidget(m_result);
    layout->addWidget(highwayBox());
    layout->addWidget(m_verify);
    layout->addLayout(buttons);
    m_upload->setDefault(true);
    resize(460, 500);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        move((area.width() - width()) / 2, (area.height() - height()) / 2);
    }
    connect(m_upload, &QPushButton::clicked, this, &FrmUpload::upload);
    connect(m_close, &QPushButton::clicked, this, &FrmUpload::reject);
    connect(m_cancelButton, &QPushButton::clicked, this, &FrmUpload::cancel);
    connect(m_copy, &QPushButton::clicked, this,
            [this] { QGuiApplication::clipboard()->setText(m_report); });
}

FrmUpload::~FrmUpload() = default;

QWidget* FrmUpload::highwayBox() {
    auto* box = new QGroupBox(QStringLiteral("Highway settings"));
    auto* grid = new QGridLayout(box);
    m_hw1 = named(new QCheckBox(QStringLiteral("Highway &1:")), "ChkHW1");
    m_hw2 = named(new QCheckBox(QStringLiteral("Highway &2:")), "ChkHW2");
    m_pgb1 = hiddenBar(QStringLiteral("PgbHW01"));
    m_pgb2 = hiddenBar(QStringLiteral("PgbHW02"));
    grid->addWidget(m_hw1, 0, 0);
    grid->addWidget(m_pgb1, 0, 1);
    grid->addWidget(m_hw2, 1, 0);
    grid->addWidget(m_pgb2, 1, 1);
    grid->setColumnStretch(1, 1);
    return box;
}

void FrmUpload::appendLine(const QString& line) {
    m_report += line + QStringLiteral("\r\n");
    m_result->appendPlainText(line);
}

// During a run Cancel is the one control that acts.
void FrmUpload::setRunning(bool running) {
    m_running = running;
    for (QWidget* w : std::initializer_list<QWidget*>{m_upload, m_close, m_copy, m_general, m_hw1,
                                                      m_hw2, m_verify})
        w->setEnabled(!running);
    m_cancelButton->setEnabled(running);
    if (running)
        m_cancelButton->setFocus();
}

// Stops after the item or packet under way; the sequence closes the link and says so.
void FrmUpload::cancel() {
    if (!m_running || m_cancel.requested())
        return;
    m_cancel.request();
    if (m_transfers && m_transfers->created())
        m_transfers->get().requestCancel();
    m_cancelButton->setEnabled(false);
    appendLine(QStringLiteral("Cancelling after the item under way..."));
}

// The window is kept while locations change: it names the one it sends to each time it opens.
void FrmUpload::showTarget() {
    QString error;
    const std::optional<LinkEndpoint> endpoint = endpointFor(m_state.settings, &error);
    QString where = error;
    if (endpoint)
        where = endpoint->isSerial() ? QStringLiteral("serial port %1 (%2)")
                                           .arg(qRound(m_state.settings.Comport))
                                           .arg(endpoint->device)
                                     : QStringLiteral("%1").arg(endpoint->text());
    m_target->setText(
        QStringLiteral("Location \"%1\", sent to %2").arg(m_state.locationName, where));
}

void FrmUpload::showEvent(QShowEvent* event) {
    showTarget();
    QDialog::showEvent(event);
}

// A file acknowledged whole shows a full bar.
void FrmUpload::showProgress(const TransferProgress& p) {
    QProgressBar* shown = p.bar == QLatin1String("PgbHW01") ? m_pgb1 : m_pgb2;
    shown->setRange(0, std::max(1, p.maximum));
    shown->setValue(p.finished ? shown->maximum() : std::min(p.value, shown->maximum()));
    shown->setVisible(true);
}

// The highway files go through the transfer component; the step is made once and kept.
HighwayStep FrmUpload::highwaySteps() {
    if (!m_files) {
        if (!m_transfers) {
            m_ownTransfers = std::make_unique<SharedTransferLink>(m_link);
            m_transfers = m_ownTransfers.get();
        }
        QPointer<FrmUpload> alive(this);
        m_files = std::make_unique<HighwayFileStep>(m_state, m_link, m_transfers->get(), m_op,
                                                    [this, alive](const TransferProgress& p) {
                                                        if (alive)
                                                            showProgress(p);
                                                    });
    }
    return m_files->step();
}

void FrmUpload::upload() {
    if (m_running)
        return;
    m_result->clear();
    m_report.clear();
    m_cancel.reset();
    showTarget();
    setRunning(true);
    const UploadChoice choice{m_general->isChecked(), m_hw1->isChecked(), m_hw2->isChecked(),
                              m_verify->isChecked()};
    const HighwayStep files = choice.hw1 || choice.hw2 ? highwaySteps() : HighwayStep();
    const UploadOutcome out = UploadConfiguration(
        m_state, m_link, m_op, choice, files, [this](const QString& line) { appendLine(line); },
        &m_cancel);
    setRunning(false);
    if (!out.finalMessage.isEmpty())
        m_op.message(finalMessageText(out),
                     out.ok ? Operator::Icon::Information : Operator::Icon::Critical);
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
