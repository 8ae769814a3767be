#include "FrmNewLocation.h"
#include "TextConvert.h"

#include "AddressBoxes.h"
#include "KeyFilters.h"
#include "PortBox.h"
#include "WindowPlacement.h"
#include "ui_FrmNewLocation.h"

namespace nodalyx {

FrmNewLocation::FrmNewLocation(SharedState& state, Operator& op, QWidget* parent)
    : QDialog(parent), m_ui(std::make_unique<Ui::FrmNewLocation>()), m_state(state), m_op(op) {
    m_ui->setupUi(this);
    m_txtIPaddress = {m_ui->txtIPaddress7, m_ui->txtIPaddress6, m_ui->txtIPaddress5,
                      m_ui->txtIPaddress4};
    m_ui->CboConnType->addItems({tr("Com port"), tr("LAN")});
    m_portBox = std::make_unique<PortBox>(m_ui->CboCommport);
    m_portBox->fill();
    m_ui->CboConnType->setCurrentIndex(-1); // neither list has a choice when the window opens
    m_portBox->showNumber({});
    for (QLineEdit* box : m_txtIPaddress)
        KeyFilter::install(box, FilterDigits);
    AddressBoxes::install(m_txtIPaddress);
    KeyFilter::install(m_ui->txtPortNumber1, FilterDigits);
    connect(m_ui->cmdSave, &QPushButton::clicked, this, &FrmNewLocation::save);
    connect(m_ui->CmdBack, &QPushButton::clicked, this, &FrmNewLocation::back);
    adjustSize();
    placeWindow(this);
}

FrmNewLocation::~FrmNewLocation() = default;

QString FrmNewLocation::ipNumber() const {
    if (m_txtIPaddress[0]->text().isEmpty())
        return {};
    QStringList octets;
    for (const QLineEdit* box : m_txtIPaddress)
        octets << box->text();
    return octets.join(QLatin1Char('.'));
}

NewLocationRequest FrmNewLocation::request() const {
    NewLocationRequest req;
    req.name = m_ui->txtName->text();
    req.ConnType = qint16(m_ui->CboConnType->currentIndex() + 1); // 0 when nothing chosen
    req.comport = m_portBox->numberText();
    req.IPnumber = ipNumber();
    req.Portnumber = m_ui->txtPortNumber1->text();
    return req;
}

void FrmNewLocation::save() {
    NewLocationRequest req = request();
    if (trimBlanks(req.name).isEmpty()) {
        m_op.message(tr("No name found"), Operator::Icon::None);
        return;
    }
    const bool serial = req.ConnType == 1;
    if (serial && !m_portBox->numberForSave(req.comport, m_op))
        return;
    // The store refuses unusable names, addresses and existing locations with a reason for
    // the operator and writes nothing then; the window stays open for a correction.
    if (!createLocation(m_state, req, m_op))
        return;
    if (serial)
        m_portBox->mapChosenAdapter(req.comport, m_op); // an adapter chosen gets its number
    m_newName = req.name;
    accept();
}

void FrmNewLocation::back() {
    m_newName.clear();
    reject();
}

} // namespace nodalyx
