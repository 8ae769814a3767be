#include "HeldDelete.h"

#include <QEvent>
#include <QTimer>

namespace nodalyx {

bool HeldDelete::hold(QEvent* e, bool running) {
    if (e->type() != QEvent::DeferredDelete || !running)
        return false;
    m_held = true;
    return true;
}

void HeldDelete::runEnded() {
    if (!std::exchange(m_held, false))
        return;
    QTimer::singleShot(0, [window = m_window] { delete window.data(); });
}

} // namespace nodalyx
