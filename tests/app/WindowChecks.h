#pragma once

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QComboBox>
#include <QGroupBox>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTabBar>
#include <QTextEdit>

// The accessible name of every control the operator works; every problem found, one line each
// ("txtCode: no name").
namespace nodalyx::test {

inline bool isInteractive(const QWidget* w) {
    return qobject_cast<const QAbstractButton*>(w) || qobject_cast<const QLineEdit*>(w) ||
           qobject_cast<const QComboBox*>(w) || qobject_cast<const QAbstractItemView*>(w) ||
           qobject_cast<const QPlainTextEdit*>(w) || qobject_cast<const QTextEdit*>(w) ||
           qobject_cast<const QAbstractSpinBox*>(w);
}

// The controls of `window` itself: not the parts of another control (a combo box's list, a
// tab bar's arrows) and nothing of another window.
inline QList<QWidget*> interactiveControls(QWidget& window) {
    QList<QWidget*> found;
    for (QWidget* w : window.findChildren<QWidget*>()) {
        bool part = !isInteractive(w) || w->window() != &window;
        for (QWidget* up = w->parentWidget(); up && up != &window; up = up->parentWidget())
            part = part || isInteractive(up) || qobject_cast<QTabBar*>(up) ||
                   qobject_cast<QMenuBar*>(up);
        if (!part)
            found << w;
    }
    return found;
}

// The name a screen reader gets. On X11 and Wayland Qt names a combo box by its current text
// and leaves its label to the "labelled by" relation, which the readers there follow.
inline QString accessibleNameOf(QWidget* w) {
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(w);
    if (!iface)
        return {};
    if (!qobject_cast<QComboBox*>(w))
        return iface->text(QAccessible::Name);
    if (!w->accessibleName().isEmpty())
        return w->accessibleName();
    for (const auto& [other, relation] : iface->relations(QAccessible::Label)) {
        if (qobject_cast<QLabel*>(other->object()))
            return other->text(QAccessible::Name).remove(QLatin1Char('&'));
    }
    return {};
}

// Every interactive control needs a name of its own: not empty, not only the title of its
// group box, and no other control of the window with the same one (compared without case,
// blanks and a closing colon).
inline QStringList accessibleNameProblems(QWidget& window) {
    QStringList problems;
    QHash<QString, QString> owner;
    for (QWidget* w : interactiveControls(window)) {
        const QString name = accessibleNameOf(w).trimmed(), id = w->objectName();
        QString group;
        for (QWidget* up = w->parentWidget(); up && group.isEmpty(); up = up->parentWidget()) {
            if (auto* box = qobject_cast<QGroupBox*>(up))
                group = box->title().remove(QLatin1Char('&'));
        }
        QString key = name.toCaseFolded();
        if (key.endsWith(QLatin1Char(':')))
            key.chop(1);
        if (name.isEmpty())
            problems << id + ": no name";
        else if (name == group)
            problems << id + QStringLiteral(": only its frame's title \"%1\"").arg(group);
        else if (owner.contains(key))
            problems << id + QStringLiteral(": \"%1\" as %2").arg(name, owner[key]);
        else
            owner.insert(key, id);
    }
    return problems;
}

} // namespace nodalyx::test
