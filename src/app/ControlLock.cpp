#include "ControlLock.h"

#include <utility>

namespace nodalyx {

void ControlLock::lock(const QList<QWidget*>& widgets, const QList<QAction*>& actions) {
    for (QWidget* w : widgets) {
        m_widgets.append({w, w->isEnabled()});
        w->setEnabled(false);
    }
    for (QAction* a : actions) {
        m_actions.append({a, a->isEnabled()});
        a->setEnabled(false);
    }
}

void ControlLock::unlock() {
    for (const auto& [widget, enabled] : std::exchange(m_widgets, {}))
        if (widget)
            widget->setEnabled(enabled);
    for (const auto& [action, enabled] : std::exchange(m_actions, {}))
        if (action)
            action->setEnabled(enabled);
}

} // namespace nodalyx
