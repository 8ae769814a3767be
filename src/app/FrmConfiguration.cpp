#include "FrmConfiguration.h"

#include "AddressBoxes.h"
#include "ClockDrift.h"
#include "ClockSetting.h"
#include "ConfigurationView.h"
#include "FrmPortAnswers.h"
#include "GeneralReadout.h"
#include "HighwayDownload.h"
#include "Link.h"
#include "LocationSettings.h"
#include "PortChoice.h"
#include "SettingsComparison.h"
#include "SettingsForm.h"
#include "WindowPlacement.h"

#include "ui_FrmConfiguration.h"
#include <QProgressBar>
#include <QProgressDialog>

#include <QCloseEvent>
#include <QKeyEvent>

namespace nodalyx {

namespace {

// Each dotted address of the form typed as one field (after the view's key filters).
void linkAddressBoxes(const Ui::FrmConfiguration& ui) {
    AddressBoxes::install({ui.txtIPaddress7, ui.txtIPaddress6, ui.txtIPaddress5, ui.txtIPaddress4});
    AddressBoxes::install({ui.txtIPaddress0, ui.txtIPaddress1, ui.txtIPaddress2, ui.txtIPaddress3});
    AddressBoxes::install(
        {ui.txtSubnetmask0, ui.txtSubnetmask1, ui.txtSubnetmask2, ui.txtSubnetmask3});
    AddressBoxes::install({ui.txtGateway0, ui.txtGateway1, ui.txtGateway2, ui.txtGateway3});
    AddressBoxes::install({ui.txtDHCP0, ui.txtDHCP1, ui.txtDHCP2, ui.txtDHCP3});
}

} // namespace

FrmConfiguration::FrmConfiguration(SharedState& state, Link& link, Operator& op, QWidget* parent)
    : QDialog(parent), m_ui(std::make_unique<Ui::FrmConfiguration>()), m_state(state), m_link(link),
      m_op(op), m_location(state.settings), m_now([] { return QDateTime::currentDateTime(); }) {
    m_ui->setupUi(this);
    m_view = std::make_unique<ConfigurationView>(*this);
    linkAddressBoxes(*m_ui);
    m_ui->PgbGeneralsettings->setVisible(false);
    m_ui->PgbHW01->setVisible(false);
    m_ui->PgbHW02->setVisible(false);
    m_ui->CmdCancel->setVisible(false);
    ConfigurationControls controls;
    GetGeneralsettings(state, controls, op);
    m_kept = controls.kept;
    m_view->show(controls);
    m_view->onEdited([this](const BoxKey& box) {
        ConfigurationControls c;
        c.kept = m_kept;
        fillAnew(c, box);
        m_kept = c.kept;
    });
    m_chooseAnswer = [this](const QList<ProbeAnswer>& answers) {
        const QString heading =
            matchingAnswers(answers).isEmpty()
                ? tr("No port answered with this location's logger. Choose a port anyway:")
                : tr("Several ports answered with this location's logger. Choose one:");
        return FrmPortAnswers::choose(answers, heading, this);
    };
    connect(m_ui->CmdLogger, &QPushButton::clicked, this, &FrmConfiguration::startDownload);
    connect(m_ui->CmdFindPort, &QPushButton::clicked, this, &FrmConfiguration::findPort);
    connect(m_ui->CmdDate, &QPushButton::clicked, this, &FrmConfiguration::setDate);
    connect(m_ui->CmdSave, &QPushButton::clicked, this, &FrmConfiguration::save);
    connect(m_ui->CmdClose, &QPushButton::clicked, this, &FrmConfiguration::reject);
    connect(m_ui->CmdCancel, &QPushButton::clicked, this, &FrmConfiguration::cancel);
    adjustSize();
    placeWindow(this);
}

FrmConfiguration::~FrmConfiguration() = default;

void FrmConfiguration::save() {
    if (m_exchanging)
        return;
    ConfigurationControls controls = m_view->read(m_kept);
    const bool serial = ConnectionKind(controls.CboConnType + 1) == ConnectionKind::Serial;
    if (serial && !m_view->portBox().numberForSave(controls.CboCommport, m_op))
        return;
    if (!SaveGeneralsettings(m_state, controls, m_op))
        return; // the refusal has been shown; the window stays open
    if (serial) // an adapter chosen gets its number in the port map
        m_view->portBox().mapChosenAdapter(controls.CboCommport, m_op);
    m_gewijzigd = true;
    accept();
}

void FrmConfiguration::reject() {
    if (m_exchanging)
        return; // a wait for the logger runs: the window stays until it has ended
    m_gewijzigd = false;
    QDialog::reject();
}

void FrmConfiguration::closeEvent(QCloseEvent* event) {
    if (m_exchanging) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void FrmConfiguration::keyPressEvent(QKeyEvent* event) {
    if (m_exchanging && event->key() == Qt::Key_Escape) {
        cancel(); // the window stays until the run has ended
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void FrmConfiguration::cancel() {
    if (!m_exchanging)
        return;
    m_cancel.request();
    if (m_transfers && m_transfers->created())
        m_transfers->get().requestCancel(); // also ends the transfer's running wait
    m_ui->CmdCancel->setEnabled(false);
}

// A deferred delete during an exchange is held, the exchange cancelled, and the window goes
// once the exchange has ended.
bool FrmConfiguration::event(QEvent* event) {
    if (!m_heldDelete.hold(event, m_exchanging))
        return QDialog::event(event);
    m_cancel.request();
    return true;
}

void FrmConfiguration::setExchanging(bool exchanging) {
    m_exchanging = exchanging;
    if (!exchanging)
        m_heldDelete.runEnded();
    for (QWidget* w : std::initializer_list<QWidget*>{
             m_ui->fraLocal, m_ui->fraRemote, m_ui->ChkGeneral, m_ui->ChkHW01, m_ui->ChkHW02,
             m_ui->CmdLogger, m_ui->CmdDate, m_ui->CmdSave, m_ui->CmdClose})
        w->setEnabled(!exchanging);
    m_ui->CmdCancel->setEnabled(exchanging);
    m_ui->CmdCancel->setVisible(exchanging);
    if (exchanging)
        m_ui->CmdCancel->setFocus();
}

void FrmConfiguration::addResultLine(const QString& line) {
    QString text = m_ui->lblDownloadResult->text();
    if (!text.isEmpty())
        text += QLatin1Char('\n');
    m_ui->lblDownloadResult->setText(text + line);
}

void FrmConfiguration::startDownload() {
    if (m_exchanging)
        return;
    m_op.message(QStringLiteral("Old configurations files will be copied to .BAK"),
                 Operator::Icon::None);
    m_cancel.reset();
    m_ui->lblDownloadResult->clear();
    setExchanging(true);
    // The highway files need the same logger: when the read-out could not reach it (told
    // once) or the operator cancelled, they are not started.
    const bool goOn = !m_ui->ChkGeneral->isChecked() || readGeneralSettings();
    if (goOn && !m_cancel.requested() && (m_ui->ChkHW01->isChecked() || m_ui->ChkHW02->isChecked()))
        downloadHighwayFiles();
    setExchanging(false);
}

void FrmConfiguration::findPort() {
    if (m_exchanging)
        return;
    const QList<ListedPort> ports = SerialPorts::list(true);
    const QString expected = m_view->read(m_kept).txtSerialNumber;
    m_cancel.reset();
    m_ui->lblDownloadResult->clear();
    setExchanging(true);
    QProgressDialog progress(tr("Asking the serial ports for the logger..."), tr("Cancel"), 0,
                             int(ports.size()), this);
    progress.setObjectName(QStringLiteral("PgdFindPort"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(0);
    progress.setAutoClose(false);
    progress.setAutoReset(false);
    connect(&progress, &QProgressDialog::canceled, this, &FrmConfiguration::cancel);
    connect(&progress, &QProgressDialog::rejected, this, &FrmConfiguration::cancel); // Escape
    const QList<ProbeAnswer> answers = probePorts(
        ports, expected, &m_cancel, [&progress](int index, int total, const QString& device) {
            progress.setMaximum(total);
            progress.setLabelText(tr("Port %1 of %2: %3").arg(index + 1).arg(total).arg(device));
            progress.setValue(index);
        });
    const bool cancelled = m_cancel.requested();
    progress.disconnect(this); // closing the dialog says "canceled" too
    progress.close();
    setExchanging(false);
    takeProbeAnswers(answers, int(ports.size()), cancelled);
}

// Exactly one port with the location's logger is selected; otherwise the operator may pick
// one of the answers. A cancelled search changes nothing.
void FrmConfiguration::takeProbeAnswers(const QList<ProbeAnswer>& answers, int portsAsked,
                                        bool cancelled) {
    if (cancelled) {
        addResultLine(tr("Find: cancelled after %1 of %2 ports; the box is as it was.")
                          .arg(answers.size())
                          .arg(portsAsked));
        return;
    }
    if (const std::optional<ProbeAnswer> found = soleMatch(answers)) {
        m_view->portBox().select(*found);
        addResultLine(tr("Find: the logger answers on %1.").arg(answerText(*found)));
        return;
    }
    if (const std::optional<int> chosen = m_chooseAnswer(answers);
        chosen && *chosen >= 0 && *chosen < answers.size())
        m_view->portBox().select(answers[*chosen]);
}

void FrmConfiguration::downloadHighwayFiles() {
    if (!m_transfers) {
        if (!m_ownTransfers)
            m_ownTransfers = std::make_unique<SharedTransferLink>(m_link);
        m_transfers = m_ownTransfers.get();
    }
    TransferContext ctx{m_state,
                        m_link,
                        m_transfers->get(),
                        m_op,
                        m_state.locationName,
                        [this](const TransferProgress& p) {
                            QProgressBar* bar = p.highway == 1 ? m_ui->PgbHW01 : m_ui->PgbHW02;
                            bar->setRange(0, std::max(1, p.maximum));
                            bar->setValue(std::min(p.value, bar->maximum()));
                            bar->setVisible(true);
                        }};
    DownloadHighwayFiles(ctx, m_ui->ChkHW01->isChecked(), m_ui->ChkHW02->isChecked(), &m_cancel,
                         [this](const QString& file, const DownloadResult& result) {
                             addResultLine(downloadResultText(file, result));
                         });
}

bool FrmConfiguration::readGeneralSettings() {
    ConfigurationControls controls = m_view->read(m_kept);
    ReadoutHooks hooks;
    hooks.now = m_now;
    hooks.progress = [this, &controls](int value) {
        if (value == 0) {
            m_ui->PgbGeneralsettings->setRange(0, kGeneralReadoutSteps);
            m_ui->PgbGeneralsettings->setVisible(true);
        }
        m_ui->PgbGeneralsettings->setValue(value);
        m_view->show(controls);
    };
    const GeneralReadout readout =
        ReadGeneralSettings(m_state, m_link, m_op, controls, hooks, &m_cancel);
    if (!readout.connected)
        return false;
    m_kept = controls.kept;
    m_view->show(controls);
    m_view->mark(compareWithLocation(m_location, controls, readout.read));
    showClockDrift(readout.clock, readout.clockReadAt);
    if (readout.cancelled)
        addResultLine(tr("General settings: cancelled after %1 of %2 steps; the boxes show what "
                         "was read.")
                          .arg(m_ui->PgbGeneralsettings->value())
                          .arg(kGeneralReadoutSteps));
    return !readout.cancelled;
}

void FrmConfiguration::setDate() {
    if (m_exchanging)
        return;
    m_ui->txtDate->clear();
    m_ui->lblClockDrift->clear();
    m_cancel.reset();
    setExchanging(true);
    const ClockSetting result = SetLoggerDateTime(m_state, m_link, m_op, m_now(), m_now, &m_cancel);
    setExchanging(false);
    m_ui->txtDate->setText(result.txtDate);
    showClockDrift(result.clock, result.readAt);
    if (result.cancelled)
        m_ui->lblClockDrift->setText(
            tr("Set Date/Time cancelled: the clock was sent, not read back"));
}

void FrmConfiguration::showClockDrift(const std::optional<LoggerClock>& clock,
                                      const QDateTime& readAt) {
    m_ui->lblClockDrift->setText(clock ? clockDriftText(clockDriftMinutes(*clock, readAt))
                                       : QString());
}

} // namespace nodalyx
