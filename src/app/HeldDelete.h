#pragma once

#include <QPointer>
#include <QWidget>

class QEvent;

namespace nodalyx {

// A window's deletion held back while one of its routines runs: a deferred delete arriving
// during the run would pull the window away under the routine waiting inside it. The window's
// event() asks hold() first and calls runEnded() when the run is over; a held delete is then
// done once control is back in an event loop.
class HeldDelete {
public:
    explicit HeldDelete(QWidget* window) : m_window(window) {}

    // True (the event taken) when e is a deferred delete and a run is under way.
    bool hold(QEvent* e, bool running);
    // Deletes the window soon when a delete was held. Not through deleteLater: Qt drops a
    // widget's second deferred delete once the first has been taken.
    void runEnded();

private:
    QPointer<QWidget> m_window;
    bool m_held = false;
};

} // namespace nodalyx
