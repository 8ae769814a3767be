#pragma once

#include "ConfigurationControls.h"
#include "PortBox.h"
#include "SettingsComparison.h"

#include <QHash>
#include <QList>
#include <QString>
#include <functional>
#include <memory>
#include <utility>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QWidget;

namespace nodalyx {

// The configuration window's controls seen as ConfigurationControls: fills the lists, sets
// the input limits, key filters and read-only colours, copies the data into the controls and
// back, and marks the boxes whose logger value differs from the location's. Finds every
// control below `form` by the object name of its key (boxName); only this class maps the keys to
// the widgets.
class ConfigurationView {
public:
    explicit ConfigurationView(QWidget& form);

    // A text with a control character (from the logger) shows it as \xNN (see PrintableText.h);
    // the box still stands for the text itself as long as the operator does not edit it.
    void show(const ConfigurationControls& controls);
    // The controls' texts; `kept` is taken over as it is.
    ConfigurationControls read(const BoxKeys& kept) const;

    // Tints each box of a difference and names the location's value in its tool tip; marks
    // from an earlier call are removed first.
    void mark(const QList<SettingDifference>& differences);
    QList<BoxKey> marked() const { return m_marked; }

    // The "Comm port" box (its number, or an adapter without one).
    PortBox& portBox() { return *m_portBox; }

    // Calls back with a box's key whenever the operator edits it.
    void onEdited(const std::function<void(const BoxKey& box)>& edited);

private:
    void setup();
    QLineEdit* box(const BoxKey& name) const { return m_boxes.value(name); }
    QWidget* widget(const BoxKey& name) const;
    void setMarked(QWidget* w, bool marked, const QString& tip);

    QWidget& m_form;
    QHash<BoxKey, QLineEdit*> m_boxes;
    QComboBox* m_connType = nullptr;
    std::unique_ptr<PortBox> m_portBox;
    QComboBox* m_interval = nullptr;
    QCheckBox* m_dhcp = nullptr;
    QList<BoxKey> m_marked;
    // Boxes that show a text made printable: the box's text then, and the text it stands for.
    QHash<BoxKey, std::pair<QString, QString>> m_shownFor;
};

} // namespace nodalyx
