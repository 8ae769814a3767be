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
        f(boxName("txtIPaddress", i), c.txtIPaddress[i]);
    f(QStringLiteral("txtPortNumber1"), c.txtPortNumber1);
    f(QStringLiteral("txtCode"), c.txtCode);
    f(QStringLiteral("txtName"), c.txtName);
    f(QStringLiteral("txtPlace"), c.txtPlace);
    for (int i = 0; i < 7; ++i) {
        f(boxName("txtStart", i), c.txtStart[i]);
        f(boxName("txtStop", i), c.txtStop[i]);
    }
    for (int i = 0; i < 4; ++i) {
        f(boxName("txtSubnetmask", i), c.txtSubnetmask[i]);
        f(boxName("txtGateway", i), c.txtGateway[i]);
        f(boxName("txtDHCP", i), c.txtDHCP[i]);
    }
    f(QStringLiteral("txtPortNumber"), c.txtPortNumber);
    for (int i = 0; i < 6; ++i)
        f(boxName("txtMacAddress", i), c.txtMacAddress[i]);
    f(QStringLiteral("txtHostName"), c.txtHostName);
    f(QStringLiteral("txtSerialNumber"), c.txtSerialNumber);
    for (int k = 0; k < 4; ++k)
        f(boxName("txtExt", k + 1), c.txtExt[k]);
    f(QStringLiteral("txtDate"), c.txtDate);
}

KeyFilterFunction filterFor(const QString& name) {
    if (name.startsWith(QLatin1String("txtStart")) || name.startsWith(QLatin1String("txtStop")))
        return FilterTimeChars;
    const char* const digits[] = {"txtIPaddress", "txtSubnetmask", "txtGateway", "txtPortNumber"};
    for (const char* prefix : digits) {
        if (name.startsWith(QLatin1String(prefix)))
            return FilterDigits;
    }
    return nullptr;
}

} // namespace

ConfigurationView::ConfigurationView(QWidget& form) : m_form(form) {
    ConfigurationControls names;
    forEachText(names, [this](const QString& name, QString&) {
        m_boxes.insert(name, m_form.findChild<QLineEdit*>(name));
    });
    m_connType = m_form.findChild<QComboBox*>(QStringLiteral("CboConnType"));
    m_commport = m_form.findChild<QComboBox*>(QStringLiteral("CboCommport"));
    m_interval = m_form.findChild<QComboBox*>(QStringLiteral("CboInterval"));
    m_dhcp = m_form.findChild<QCheckBox*>(QStringLiteral("ChkDHCP"));
    setup();
}

void ConfigurationView::setup() {
    m_connType->addItems({QStringLiteral("Com port"), QStringLiteral("LAN")});
    for (int port = 1; port <= 16; ++port)
        m_commport->addItem(QString::number(port));
    for (const char* item : kIntervalItems)
        m_interval->addItem(QLatin1String(item));
    for (auto it = m_boxes.cbegin(); it != m_boxes.cend(); ++it) {
        if (const KeyFilterFunction filter = filterFor(it.key()))
            KeyFilter::install(it.value(), filter);
        if (it.value()->isReadOnly())
            it.value()->setStyleSheet(kReadOnlyStyle);
    }
}

void ConfigurationView::show(const ConfigurationControls& c) {
    m_connType->setCurrentIndex(c.CboConnType);
    m_commport->setCurrentIndex(m_commport->findText(c.CboCommport));
    m_interval->setCurrentIndex(m_interval->findText(c.CboInterval));
    m_dhcp->setChecked(c.ChkDHCP);
    forEachText(c, [this](const QString& name, const QString& text) {
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

ConfigurationControls ConfigurationView::read(const QSet<QString>& kept) const {
    ConfigurationControls c;
    c.CboConnType = std::max(0, m_connType->currentIndex());
    c.CboCommport = m_commport->currentText();
    c.CboInterval = m_interval->currentText();
    c.ChkDHCP = m_dhcp->isChecked();
    forEachText(c, [this](const QString& name, QString& text) {
        text = box(name)->text();
        const auto shown = m_shownFor.constFind(name);
        if (shown != m_shownFor.cend() && shown->first == text)
            text = shown->second;
    });
    c.kept = kept;
    return c;
}

QWidget* ConfigurationView::widget(const QString& name) const {
    if (QLineEdit* b = box(name))
        return b;
    return name == QLatin1String("CboInterval") ? m_interval : nullptr;
}

void ConfigurationView::setMarked(QWidget* w, bool marked, const QString& tip) {
    const auto* edit = qobject_cast<QLineEdit*>(w);
    const bool readOnly = edit && edit->isReadOnly();
    w->setStyleSheet(marked ? kMarkedStyle : (readOnly ? kReadOnlyStyle : QString()));
    w->setToolTip(tip);
}

void ConfigurationView::mark(const QList<SettingDifference>& differences) {
    for (const QString& name : std::as_const(m_marked))
        setMarked(widget(name), false, {});
    m_marked.clear();
    for (const SettingDifference& d : differences) {
        const QString tip = QStringLiteral("The location holds %1 \"%2\"; the logger \"%3\".")
                                .arg(d.setting, printableText(d.location), printableText(d.logger));
        for (const QString& name : d.boxes) {
            if (QWidget* w = widget(name)) {
                setMarked(w, true, tip);
                m_marked << name;
            }
        }
    }
}

void ConfigurationView::onEdited(const std::function<void(const QString& box)>& edited) {
    for (auto it = m_boxes.cbegin(); it != m_boxes.cend(); ++it) {
        const QString name = it.key();
        QObject::connect(it.value(), &QLineEdit::textEdited, &m_form,
                         [edited, name] { edited(name); });
    }
}

} // namespace nodalyx
