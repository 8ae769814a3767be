#include "FrmUnitConfiguration.h"

#include "HighwayFileCodec.h"
#include "HighwayStore.h"
#include "KeyFilters.h"
#include "WindowPlacement.h"
#include "ui_FrmUnitConfiguration.h"

#include <QEvent>
#include <QRegularExpression>
#include <algorithm>

namespace nodalyx {

namespace {

// The fields of one counting channel (1..4) of a unit.
struct Channel {
    QString& col;
    QString& width;
    quint8& cor;
    QString& name;
    QString& from;
    QString& to;
};

Channel channel(UnitConfig& u, int c) {
    switch (c) {
    case 1:
        return {u.Col1, u.Entrancewidth1, u.Cor1, u.Name1, u.From1, u.To1};
    case 2:
        return {u.Col2, u.Entrancewidth2, u.Cor2, u.Name2, u.From2, u.To2};
    case 3:
        return {u.Col3, u.Entrancewidth3, u.Cor3, u.Name3, u.From3, u.To3};
    default:
        return {u.Col4, u.Entrancewidth4, u.Cor4, u.Name4, u.From4, u.To4};
    }
}

// A correction must be a whole number that fits the unit's byte.
std::optional<quint8> correctionValue(const QString& text) {
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    if (!ok || value < 0 || value > 255)
        return std::nullopt;
    return quint8(value);
}

// A part of the unit code: four hexadecimal digits.
bool isCodePart(const QString& text) {
    static const QRegularExpression part(QStringLiteral("^[0-9A-Fa-f]{4}$"));
    return part.match(text).hasMatch();
}

} // namespace

FrmUnitConfiguration::FrmUnitConfiguration(SharedState& state, Operator& op,
                                           const QString& location, QWidget* parent)
    : QDialog(parent), m_ui(std::make_unique<Ui::FrmUnitConfiguration>()), m_state(state), m_op(op),
      m_location(location) {
    m_ui->setupUi(this);
    collectControls();
    fillLists();
    connectEdits();
    adjustSize();
    placeWindow(this, 500, 450);
}

FrmUnitConfiguration::~FrmUnitConfiguration() = default;

void FrmUnitConfiguration::collectControls() {
    m_optType = {m_ui->OptType0, m_ui->OptType1, m_ui->OptType2};
    m_txtCode = {m_ui->txtCode0, m_ui->txtCode1, m_ui->txtCode2};
    m_cboColumn = {m_ui->CboColumn0, m_ui->CboColumn1, m_ui->CboColumn2, m_ui->CboColumn3};
    m_cboEwidth = {m_ui->CboEwidth0, m_ui->CboEwidth1, m_ui->CboEwidth2, m_ui->CboEwidth3};
    m_txtOnaam = {m_ui->txtOnaam0, m_ui->txtOnaam1, m_ui->txtOnaam2, m_ui->txtOnaam3};
    m_txtCor = {m_ui->txtCor0, m_ui->txtCor1, m_ui->txtCor2, m_ui->txtCor3};
    m_txtFrom = {m_ui->txtFrom0, m_ui->txtFrom1, m_ui->txtFrom2, m_ui->txtFrom3};
    m_txtTo = {m_ui->txtTo0, m_ui->txtTo1, m_ui->txtTo2, m_ui->txtTo3};
}

void FrmUnitConfiguration::fillLists() {
    QStringList widths;
    for (int i = 0; i <= 12; ++i)
        widths << QString::number(i);
    QStringList columns;
    for (int i = 0; i <= 255; ++i)
        columns << QString::number(i);
    for (int c = 0; c < 4; ++c) {
        m_cboEwidth[c]->addItems(widths);
        m_cboColumn[c]->addItems(columns);
    }
}

void FrmUnitConfiguration::connectEdits() {
    // Every edit of the operator raises the modified flag; loading a unit does not (the
    // signals used here fire only for the operator's own actions).
    for (QLineEdit* box : m_txtCode) {
        KeyFilter::install(box, FilterHexChars);
        box->installEventFilter(this); // upper case on leaving
        connect(box, &QLineEdit::textEdited, this, &FrmUnitConfiguration::markModified);
    }
    for (int c = 0; c < 4; ++c) {
        KeyFilter::install(m_txtOnaam[c], FilterNameChars);
        KeyFilter::install(m_txtFrom[c], FilterNameChars);
        KeyFilter::install(m_txtTo[c], FilterNameChars);
        KeyFilter::install(m_txtCor[c], FilterDigits);
        for (QLineEdit* box : {m_txtOnaam[c], m_txtFrom[c], m_txtTo[c], m_txtCor[c]})
            connect(box, &QLineEdit::textEdited, this, &FrmUnitConfiguration::markModified);
        for (QComboBox* box : {m_cboColumn[c], m_cboEwidth[c]})
            connect(box, &QComboBox::activated, this, &FrmUnitConfiguration::markModified);
    }
    for (int k = 0; k < 3; ++k) {
        connect(m_optType[k], &QRadioButton::clicked, this, [this, k] {
            applyTypeRule(k);
            markModified();
        });
    }
    connect(m_ui->CmdClear, &QPushButton::clicked, this, &FrmUnitConfiguration::clearAll);
    connect(m_ui->CmdOpslaan, &QPushButton::clicked, this, &FrmUnitConfiguration::save);
    connect(m_ui->CmdSluiten, &QPushButton::clicked, this, &FrmUnitConfiguration::reject);
}

void FrmUnitConfiguration::setInputs(const QString& hw, const QString& id) {
    m_ui->txtHW->setText(hw);
    m_ui->txtID->setText(id);
    showUnit();
}

UnitTable* FrmUnitConfiguration::chosenTable() {
    const QString hw = m_ui->txtHW->text();
    if (hw == QLatin1String("1"))
        return &m_state.HW1Unit;
    if (hw == QLatin1String("2"))
        return &m_state.HW2Unit;
    return nullptr;
}

std::optional<int> FrmUnitConfiguration::chosenIndex() const {
    bool ok = false;
    const int i = m_ui->txtID->text().trimmed().toInt(&ok);
    if (!ok || i < 0 || i >= kUnitTableSize)
        return std::nullopt; // outside the table: nothing is shown or stored
    return i;
}

void FrmUnitConfiguration::showUnit() {
    UnitTable* table = chosenTable();
    if (!table)
        return;
    if (m_ui->txtID->text().isEmpty()) {
        showFreshUnit();
    } else if (const auto i = chosenIndex()) {
        UnitConfig& u = (*table)[*i];
        selectType(!u.Active ? 0 : u.HWtype == 1 ? 1 : 2);
        for (int k = 0; k < 3; ++k)
            m_txtCode[k]->setText(u.HWaddress.isEmpty() ? QString() : u.HWaddress.mid(4 * k, 4));
        for (int c = 0; c < 4; ++c) {
            const Channel ch = channel(u, c + 1);
            m_cboColumn[c]->setCurrentText(ch.col);
            m_txtOnaam[c]->setText(ch.name);
            m_txtFrom[c]->setText(ch.from);
            m_txtTo[c]->setText(ch.to);
            m_txtCor[c]->setText(ch.cor == 0 ? QStringLiteral("100") : QString::number(ch.cor));
            bool ok = false;
            const int width = ch.width.trimmed().toInt(&ok);
            if (ok && width >= 0 && width < m_cboEwidth[c]->count())
                m_cboEwidth[c]->setCurrentIndex(width);
        }
    }
    m_gewijzigd = false;
}

void FrmUnitConfiguration::showFreshUnit() {
    static const std::array<const char*, 4> kFrom{"Out", "In", "Out", "In"};
    static const std::array<const char*, 4> kTo{"In", "Out", "In", "Out"};
    for (QLineEdit* box : m_txtCode)
        box->clear();
    for (int c = 0; c < 4; ++c) {
        m_cboColumn[c]->setCurrentIndex(0);
        m_txtOnaam[c]->setText(QStringLiteral("K%1").arg(c + 1));
        m_txtFrom[c]->setText(QLatin1String(kFrom[c]));
        m_txtTo[c]->setText(QLatin1String(kTo[c]));
        m_txtCor[c]->setText(QStringLiteral("100"));
        m_cboEwidth[c]->setCurrentIndex(1);
    }
}

void FrmUnitConfiguration::selectType(int k) {
    m_optType[k]->setChecked(true);
    applyTypeRule(k);
}

void FrmUnitConfiguration::applyTypeRule(int k) {
    m_ui->fraSet1->setEnabled(k >= 1);
    m_ui->fraSet2->setEnabled(k == 2);
    for (QLineEdit* box : m_txtCode)
        box->setEnabled(k == 2);
}

void FrmUnitConfiguration::clearAll() {
    for (QLineEdit* box : m_txtCode)
        box->clear();
    for (int c = 0; c < 4; ++c) {
        m_txtOnaam[c]->clear();
        m_cboColumn[c]->setCurrentIndex(0);
    }
    selectType(0);
    markModified();
}

// Tells why the box cannot be stored and puts the focus there; answers false.
bool FrmUnitConfiguration::refuse(QWidget* box, const QString& why) {
    m_op.message(why, Operator::Icon::Warning);
    box->setFocus();
    return false;
}

bool FrmUnitConfiguration::validate() {
    if (!validateCode())
        return false;
    for (int c = 0; c < 4; ++c) {
        if (!correctionValue(m_txtCor[c]->text()))
            return refuse(
                m_txtCor[c],
                tr("Correction of channel %1 must be a whole number from 0 to 255.").arg(c + 1));
        if (!validateText(c))
            return false;
    }
    return true;
}

// A unit of the new version is addressed on the highway by its code: an active one needs all
// twelve digits (an old-version unit has none, and its boxes are not used).
bool FrmUnitConfiguration::validateCode() {
    if (!m_optType[2]->isChecked())
        return true;
    for (int k = 0; k < 3; ++k) {
        if (!isCodePart(m_txtCode[k]->text()))
            return refuse(
                m_txtCode[k],
                tr("Unit code box %1 must hold 4 hexadecimal digits (0-9, A-F).").arg(k + 1));
    }
    return true;
}

// Pasted text passes the key filters; refuse what the highway file would lose on reading.
bool FrmUnitConfiguration::validateText(int c) {
    const std::array<std::pair<QLineEdit*, const char*>, 3> boxes{
        {{m_txtOnaam[c], QT_TR_NOOP("Name")},
         {m_txtFrom[c], QT_TR_NOOP("From")},
         {m_txtTo[c], QT_TR_NOOP("To")}}};
    for (const auto& [box, label] : boxes) {
        const QString problem = unitValueProblem(box->text());
        if (!problem.isEmpty())
            return refuse(
                box, tr("%1 of channel %2 %3.").arg(tr(label), QString::number(c + 1), problem));
    }
    return true;
}

bool FrmUnitConfiguration::SetData() {
    UnitTable* table = chosenTable();
    const auto i = chosenIndex();
    if (!table || m_ui->txtID->text().isEmpty() || !i)
        return true; // nothing to store
    if (!validate())
        return false;
    UnitConfig& u = (*table)[*i];
    const UnitConfig before = u;
    u.Active = !m_optType[0]->isChecked();
    u.HWtype = m_optType[2]->isChecked() ? 2 : 1;
    const bool fullCode = std::all_of(m_txtCode.begin(), m_txtCode.end(),
                                      [](const QLineEdit* box) { return box->text().size() == 4; });
    u.HWaddress =
        fullCode ? (m_txtCode[0]->text() + m_txtCode[1]->text() + m_txtCode[2]->text()).toUpper()
                 : QString();
    for (int c = 0; c < 4; ++c) {
        const Channel ch = channel(u, c + 1);
        ch.col = m_cboColumn[c]->currentText();
        ch.name = m_txtOnaam[c]->text();
        ch.from = m_txtFrom[c]->text();
        ch.to = m_txtTo[c]->text();
        ch.cor = *correctionValue(m_txtCor[c]->text());
        ch.width = QString::number(m_cboEwidth[c]->currentIndex());
    }
    const int highway = table == &m_state.HW2Unit ? 2 : 1;
    if (!WriteHighway(m_state, highway, m_location, m_op)) {
        u = before;   // the table keeps what the file holds; the edits stay on screen
        return false; // reported by the writer
    }
    m_gewijzigd = false;
    return true;
}

void FrmUnitConfiguration::save() {
    if (SetData())
        accept();
}

void FrmUnitConfiguration::reject() {
    if (m_gewijzigd) {
        if (m_op.askYesNo(tr("Data have been modified\r\nStore firstly?"))) {
            if (!SetData())
                return; // not stored: stay open so nothing is lost
        } else {
            m_gewijzigd = false;
        }
    }
    QDialog::reject();
}

bool FrmUnitConfiguration::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut) {
        if (auto* box = qobject_cast<QLineEdit*>(watched))
            box->setText(box->text().toUpper());
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace nodalyx
