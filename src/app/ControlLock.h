#pragma once

#include <QAction>
#include <QList>
#include <QPointer>
#include <QWidget>

namespace nodalyx {

// Disables controls while a routine holds the window and gives each back the state it had.
class ControlLock {
public:
    void lock(const QList<QWidget*>& widgets, const QList<QAction*>& actions = {});
    void unlock();
    bool isLocked() const { return !m_widgets.isEmpty() || !m_actions.isEmpty(); }

private:
    QList<std::pair<QPointer<QWidget>, bool>> m_widgets;
    QList<std::pair<QPointer<QAction>, bool>> m_actions;
};

} // namespace nodalyx
