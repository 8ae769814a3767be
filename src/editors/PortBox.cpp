#include "PortBox.h"

#include "Operator.h"

#include <QComboBox>
#include <QCoreApplication>

namespace nodalyx {

namespace {

constexpr int kNumberRole = Qt::UserRole;     // the item's number, 0 for none
constexpr int kDeviceRole = Qt::UserRole + 1; // the adapter of an item without a number

QString tr(const char* text) {
    return QCoreApplication::translate("PortBox", text);
}

} // namespace

PortBox::PortBox(QComboBox* box) : m_box(box) {
    m_box->setEditable(true); // a number of an adapter not plugged in now can be typed
    m_box->setInsertPolicy(QComboBox::NoInsert);
}

void PortBox::fill() {
    fill(portItems(SerialPorts::list(false)));
}

void PortBox::fill(const QList<PortItem>& items) {
    const QString shown = numberText();
    const QString adapter = chosenAdapter();
    m_box->clear();
    for (const PortItem& item : items) {
        m_box->addItem(item.text);
        m_box->setItemData(m_box->count() - 1, item.number.value_or(0), kNumberRole);
        m_box->setItemData(m_box->count() - 1, item.device, kDeviceRole);
    }
    if (!adapter.isEmpty())
        select(ProbeAnswer{adapter, std::nullopt, {}, {}, {}});
    else
        showNumber(shown);
}

void PortBox::showNumber(const QString& number) {
    const std::optional<int> n = portNumberOf(number);
    const int index = n ? m_box->findData(*n, kNumberRole) : -1;
    m_box->setCurrentIndex(index);
    if (index < 0)
        m_box->setEditText(number);
}

void PortBox::select(const ProbeAnswer& answer) {
    int index = answer.number ? m_box->findData(*answer.number, kNumberRole) : -1;
    if (index < 0 && !answer.number)
        index = m_box->findData(answer.device, kDeviceRole);
    if (index < 0) { // a port the box did not know when it was filled
        m_box->addItem(answer.number
                           ? QStringLiteral("%1 - %2").arg(*answer.number).arg(answer.device)
                           : answer.device);
        index = m_box->count() - 1;
        m_box->setItemData(index, answer.number.value_or(0), kNumberRole);
        m_box->setItemData(index, answer.number ? QString() : answer.device, kDeviceRole);
    }
    m_box->setCurrentIndex(index);
}

int PortBox::indexOf(const QString& text) const {
    return m_box->findText(text, Qt::MatchExactly);
}

QString PortBox::numberText() const {
    const QString text = m_box->currentText();
    if (const int index = indexOf(text); index >= 0) {
        const int n = m_box->itemData(index, kNumberRole).toInt();
        return n > 0 ? QString::number(n) : QString();
    }
    const std::optional<int> n = portNumberOf(text);
    return n ? QString::number(*n) : text.trimmed(); // the checks refuse what is no number
}

QString PortBox::chosenAdapter() const {
    const int index = indexOf(m_box->currentText());
    return index >= 0 ? m_box->itemData(index, kDeviceRole).toString() : QString();
}

bool PortBox::numberForSave(QString& number, Operator& op) const {
    number = numberText();
    if (chosenAdapter().isEmpty() || SerialPorts::hasComNumbers())
        return true;
    const std::optional<int> free = lowestFreePortNumber(SerialPorts::list(false));
    if (!free) {
        op.message(tr("Every port number 1..255 is taken; the port map has no room for %1.")
                       .arg(chosenAdapter()),
                   Operator::Icon::Warning);
        return false;
    }
    number = QString::number(*free);
    return true;
}

void PortBox::mapChosenAdapter(const QString& number, Operator& op) const {
    const QString adapter = chosenAdapter();
    if (adapter.isEmpty() || SerialPorts::hasComNumbers())
        return;
    const QString error = SerialPorts::map(number.toInt(), adapter);
    if (!error.isEmpty())
        op.message(tr("The location uses serial port %1, but the port map could not tie it to "
                      "%2: %3")
                       .arg(number, adapter, error),
                   Operator::Icon::Warning);
}

} // namespace nodalyx
