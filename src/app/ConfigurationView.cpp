#include "ConfigurationView.h"

#include "KeyFilters.h"
#include "PrintableText.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QWidget>

namespace nodalyx {

namespace {

const QString kReadOnlyStyle = QStringLiteral("background-color: #ffffe1;"); // light yellow
const QString kMarkedStyle = QStringLiteral("background-color: #ffc98f;");   // light orange

// Every text box of the window with its member, in the order of the form.
template <class Controls, class F> void forEachText(Controls& c, F f) {
    for (int i = 0; i < 8; ++i)
        f(BoxKey{Box::IPaddress, i}, c.txtIPaddress[i]);
    f(BoxKey{Box::PortNumber1}, c.txtPortNumber1);
    f(BoxKey{Box::Code}, c.txtCode);
    f(BoxKey{Box::Name}, c.txtName);
    f(BoxKey{Box::Place}, c.txtPlace);
    for (int i = 0; i < 7; ++i) {
        f(BoxKey{Box::Start, i}, c.txtStart[i]);
        f(BoxKey{Box::Stop, i}, c.txtStop[i]);
    }
    for (int i = 0; i < 4; ++i) {
        f(BoxKey{Box::Subnetmask, i}, c.txtSubnetmask[i]);
        f(BoxKey{Box::Gateway, i}, c.txtGateway[i]);
        f(BoxKey{Box::DHCP, i}, c.txtDHCP[i]);
    }
    f(BoxKey{Box::PortNumber}, c.txtPortNumber);
    for (int i = 0; i < 6; ++i)
        f(BoxKey{Box::MacAddress, i}, c.txtMacAddress[i]);
    f(BoxKey{Box::HostName}, c.txtHostName);
    f(BoxKey{Box::SerialNumber}, c.txtSerialNumber);
    for (int k = 0; k < 4; ++k)
        f(BoxKey{Box::Ext, k}, c.txtExt[k]);
    f(BoxKey{Box::Date}, c.txtDate);
}

KeyFilterFunction filterFor(Box box) {
    switch (box) {
    case Box::Start:
    case Box::Stop:
        return FilterTimeChars;
    case Box::IPaddress:
    case Box::Subnetmask:
    case Box::Gateway:
    case Box::PortNumber:
    case Box::PortNumber1:
        return FilterDigits;
    default:
        return nullptr;
    }
}

} // namespace

ConfigurationView::ConfigurationView(QWidget& form) : m_form(form) {
    ConfigurationControls names;
    forEachText(names, [this](const BoxKey& key, QString&) {
        m_boxes.insert(key, m_form.findChild<QLineEdit*>(boxName(key)));
    });
    m_connType = m_form.findChild<QComboBox*>(QStringLiteral("CboConnType"));
    m_portBox =
        std::make_unique<PortBox>(m_form.findChild<QComboBox*>(QStringLiteral("CboCommport")));
    m_interval = m_form.findChild<QComboBox*>(QStringLiteral("CboInterval"));
    m_dhcp = m_form.findChild<QCheckBox*>(QStringLiteral("ChkDHCP"));
    setup();
}

void ConfigurationView::setup() {
    m_connType->addItems({QStringLiteral("Com port"), QStringLiteral("LAN")});
    m_portBox->fill();
    for (const char* item : kIntervalItems)
        m_interval->addItem(QLatin1String(item));
    for (auto it = m_boxes.cbegin(); it != m_boxes.cend(); ++it) {
        if (const KeyFilterFunction filter = filterFor(it.key().box))
            KeyFilter::install(it.value(), filter);
        if (it.value()->isReadOnly())
            it.value()->setStyleSheet(kReadOnlyStyle);
    }
}

void ConfigurationView::show(const ConfigurationControls& c) {
    m_connType->setCurrentIndex(c.CboConnType);
    if (c.CboCommport != m_portBox->numberText()) // an adapter chosen stays chosen
        m_portBox->showNumber(c.CboCommport);
    m_interval->setCurrentIndex(m_interval->findText(c.CboInterval));
    m_dhcp->setChecked(c.ChkDHCP);
    forEachText(c, [this](const BoxKey& name, const QString& text) {
        QLineEdit* b = box(name);
        const QString shown = printableText(text);
        if (b->text() != shown)
            b->setText(shown);
        if (shown != text)
            m_shownFor.insert(name, {b->text(), text});
        else
            m_shownFor.remove(name);
    });
}

ConfigurationControls ConfigurationView::read(const BoxKeys& kept) const {
    ConfigurationControls c;
    c.CboConnType = std::max(0, m_connType->currentIndex());
    c.CboCommport = m_portBox->numberText();
    c.CboInterval = m_interval->currentText();
    c.ChkDHCP = m_dhcp->isChecked();
    forEachText(c, [this](const BoxKey& name, QString& text) {
        text = box(name)->text();
        const auto shown = m_shownFor.constFind(name);
        if (shown != m_shownFor.cend() && shown->first == text)
            text = shown->second;
    });
    c.kept = kept;
    return c;
}

QWidget* ConfigurationView::widget(const BoxKey& name) const {
    if (QLineEdit* b = box(name))
        return b;
    return name.box == Box::Interval ? m_interval : nullptr;
}

void ConfigurationView::setMarked(QWidget* w, bool marked, const QString& tip) {
    const auto* edit = qobject_cast<QLineEdit*>(w);
    const bool readOnly = edit && edit->isReadOnly();
    w->setStyleSheet(marked ? kMarkedStyle : (readOnly ? kReadOnlyStyle : QString()));
    w->setToolTip(tip);
}

void ConfigurationView::mark(const QList<SettingDifference>& differences) {
    for (const BoxKey& name : std::as_const(m_marked))
        setMarked(widget(name), false, {});
    m_marked.clear();
    for (const SettingDifference& d : differences) {
        const QString tip = QStringLiteral("The location holds %1 \"%2\"; the logger \"%3\".")
                                .arg(d.setting, printableText(d.location), printableText(d.logger));
        for (const BoxKey& name : d.boxes) {
            if (QWidget* w = widget(name)) {
                setMarked(w, true, tip);
                m_marked << name;
            }
        }
    }
}

void ConfigurationView::onEdited(const std::function<void(const BoxKey& box)>& edited) {
    for (auto it = m_boxes.cbegin(); it != m_boxes.cend(); ++it) {
        const BoxKey name = it.key();
        QObject::connect(it.value(), &QLineEdit::textEdited, &m_form,
                         [edited, name] { edited(name); });
    }
}

} // namespace nodalyx
