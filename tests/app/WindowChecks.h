#pragma once

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QComboBox>
#include <QGroupBox>
#include <QHash>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTabBar>
#include <QTextEdit>
#include <QWidget>

// Checks of a window as a whole: the accessible name of every control the operator works,
// and the access keys of its labels, buttons and menus. Each answers the problems found, one
// line each ("txtCode: no name"), so a test shows them all at once.
namespace nodalyx::test {

inline bool isInteractive(const QWidget* w) {
    return qobject_cast<const QAbstractButton*>(w) || qobject_cast<const QLineEdit*>(w) ||
           qobject_cast<const QComboBox*>(w) || qobject_cast<const QAbstractItemView*>(w) ||
           qobject_cast<const QPlainTextEdit*>(w) || qobject_cast<const QTextEdit*>(w) ||
           qobject_cast<const QAbstractSpinBox*>(w);
}

// The controls of `window` itself: not the parts of another control (a combo box's list, a
// spin box's text, a tab bar's arrows) and nothing of another window.
inline QList<QWidget*> interactiveControls(QWidget& window) {
    QList<QWidget*> found;
    for (QWidget* w : window.findChildren<QWidget*>()) {
        if (!isInteractive(w) || w->window() != &window)
            continue;
        bool part = false;
        for (QWidget* up = w->parentWidget(); up && up != &window; up = up->parentWidget())
            part = part || isInteractive(up) || qobject_cast<QTabBar*>(up) ||
                   qobject_cast<QMenuBar*>(up);
        if (!part)
            found << w;
    }
    return found;
}

inline QString withoutAmpersand(QString text) {
    return text.remove(QLatin1Char('&'));
}

// The name a screen reader gets. Qt names a combo box on X11 and Wayland by its current text
// and leaves its label to the "labelled by" relation, which the readers there follow; on the
// other systems the label (or the accessible name) is the name itself.
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
            return withoutAmpersand(other->text(QAccessible::Name));
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
        const QString name = accessibleNameOf(w).trimmed();
        const QString id = w->objectName();
        QString group;
        for (QWidget* up = w->parentWidget(); up && group.isEmpty(); up = up->parentWidget()) {
            if (auto* box = qobject_cast<QGroupBox*>(up))
                group = withoutAmpersand(box->title());
        }
        QString key = name.toCaseFolded();
        if (key.endsWith(QLatin1Char(':')))
            key.chop(1);
        if (name.isEmpty())
            problems << id + QStringLiteral(": no name");
        else if (name == group)
            problems << id + QStringLiteral(": only its frame's title \"%1\"").arg(group);
        else if (owner.contains(key))
            problems << id + QStringLiteral(": \"%1\" as %2").arg(name, owner[key]);
        else
            owner.insert(key, id);
    }
    return problems;
}

// Access keys that clash: two labels, buttons or menu titles of `window` with the same one,
// or two items of one menu. Every button with a text in `keyed` must have one.
inline QStringList accessKeyProblems(QWidget& window, const QStringList& keyed) {
    QStringList problems;
    QHash<int, QString> windowKeys;
    const auto take = [&](QHash<int, QString>& keys, const QString& text, const QString& id) {
        const int key = QKeySequence::mnemonic(text)[0].toCombined() & ~Qt::ALT;
        if (!key)
            return;
        if (keys.contains(key))
            problems << QStringLiteral("%1 and %2 share one access key").arg(id, keys[key]);
        keys.insert(key, id);
    };
    for (QWidget* w : window.findChildren<QWidget*>()) {
        if (auto* button = qobject_cast<QAbstractButton*>(w)) {
            if (keyed.contains(w->objectName()) && QKeySequence::mnemonic(button->text()).isEmpty())
                problems << w->objectName() + QStringLiteral(": no access key");
            take(windowKeys, button->text(), w->objectName());
        } else if (auto* label = qobject_cast<QLabel*>(w)) {
            take(windowKeys, label->text(), w->objectName());
        }
    }
    for (QMenuBar* bar : window.findChildren<QMenuBar*>()) {
        for (QAction* title : bar->actions()) {
            take(windowKeys, title->text(), title->menu() ? title->menu()->objectName() : "?");
            if (!title->menu())
                continue;
            QHash<int, QString> menuKeys;
            for (QAction* item : title->menu()->actions()) {
                if (!item->isSeparator() && QKeySequence::mnemonic(item->text()).isEmpty())
                    problems << item->objectName() + QStringLiteral(": no access key");
                take(menuKeys, item->text(), item->objectName());
            }
        }
    }
    return problems;
}

} // namespace nodalyx::test
