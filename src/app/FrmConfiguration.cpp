#include "FrmConfiguration.h"

#include "AddressBoxes.h"
#include "ClockDrift.h"
#include "ClockSetting.h"
#include "ConfigurationView.h"
#include "GeneralReadout.h"
#include "HighwayDownload.h"
#include "Link.h"
#include "SettingsComparison.h"
#include "SettingsForm.h"
#include "WindowPlacement.h"

#include "ui_FrmConfiguration.h"
#include <QProgressBar>

#include <QCloseEvent>
#include <QPointer>

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
    ConfigurationControls controls;
    GetGeneralsettings(state, controls, op);
    m_kept = controls.kept;
    m_view->show(controls);
    m_view->onEdited([this](const QString& box) {
        ConfigurationControls c;
        c.kept = m_kept;
        fillAnew(c, box);
        m_kept = c.kept;
    });
    connect(m_ui->CmdLogger, &QPushButton::clicked, this, &FrmConfiguration::startDownload);
    connect(m_ui->CmdDate, &QPushButton::clicked, this, &FrmConfiguration::setDate);
    connect(m_ui->CmdSave, &QPushButton::clicked, this, &FrmConfiguration::save);
    connect(m_ui->CmdClose, &QPushButton::clicked, this, &FrmConfiguration::reject);
    adjustSize();
    placeWindow(this);
}

FrmConfiguration::~FrmConfiguration() = default;

void FrmConfiguration::save() {
    if (m_exchanging)
        return;
    if (!SaveGeneralsettings(m_state, m_view->read(m_kept), m_op))
        return; // the refusal has been shown; the window stays open
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

void FrmConfiguration::setExchanging(bool exchanging) {
    m_exchanging = exchanging;
    for (QWidget* w : std::initializer_list<QWidget*>{m_ui->fraLocal, m_ui->fraRemote,
                                                      m_ui->ChkGeneral, m_ui->CmdLogger,
                                                      m_ui->CmdDate, m_ui->CmdSave, m_ui->CmdClose})
        w->setEnabled(!exchanging);
}

void FrmConfiguration::startDownload() {
    if (m_exchanging)
        return;
    m_op.message(QStringLiteral("Old configurations files will be copied to .BAK"),
                 Operator::Icon::None);
    QPointer<FrmConfiguration> alive(this);
    if (m_ui->ChkGeneral->isChecked())
        readGeneralSettings();
    if (alive && (m_ui->ChkHW01->isChecked() || m_ui->ChkHW02->isChecked()))
        downloadHighwayFiles();
}

void FrmConfiguration::downloadHighwayFiles() {
    if (!m_transfers) {
        if (!m_ownTransfers)
            m_ownTransfers = std::make_unique<SharedTransferLink>(m_link);
        m_transfers = m_ownTransfers.get();
    }
    QPointer<FrmConfiguration> alive(this);
    TransferContext ctx{m_state,
                        m_link,
                        m_transfers->get(),
                        m_op,
                        m_state.locationName,
                        [this, alive](const TransferProgress& p) {
                            if (!alive)
                                return;
                            QProgressBar* bar =
                                p.bar == QLatin1String("PgbHW01") ? m_ui->PgbHW01 : m_ui->PgbHW02;
                            bar->setRange(0, std::max(1, p.maximum));
                            bar->setValue(std::min(p.value, bar->maximum()));
                            bar->setVisible(true);
                        }};
    setExchanging(true);
    DownloadHighwayFiles(ctx, m_ui->ChkHW01->isChecked(), m_ui->ChkHW02->isChecked());
    if (alive)
        setExchanging(false);
}

void FrmConfiguration::readGeneralSettings() {
    QPointer<FrmConfiguration> alive(this);
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
    setExchanging(true);
    const GeneralReadout readout = ReadGeneralSettings(m_state, m_link, m_op, controls, hooks);
    if (!alive)
        return;
    setExchanging(false);
    if (!readout.connected)
        return;
    m_kept = controls.kept;
    m_view->show(controls);
    m_view->mark(compareWithLocation(m_location, controls, readout.read));
    showClockDrift(readout.clock, readout.clockReadAt);
}

void FrmConfiguration::setDate() {
    if (m_exchanging)
        return;
    QPointer<FrmConfiguration> alive(this);
    m_ui->txtDate->clear();
    m_ui->lblClockDrift->clear();
    setExchanging(true);
    const ClockSetting result = SetLoggerDateTime(m_state, m_link, m_op, m_now(), m_now);
    if (!alive)
        return;
    setExchanging(false);
    m_ui->txtDate->setText(result.txtDate);
    showClockDrift(result.clock, result.readAt);
}

void FrmConfiguration::showClockDrift(const std::optional<LoggerClock>& clock,
                                      const QDateTime& readAt) {
    m_ui->lblClockDrift->setText(clock ? clockDriftText(clockDriftMinutes(*clock, readAt))
                                       : QString());
}

} // namespace nodalyx
