#pragma once

#include <QDeadlineTimer>
#include <functional>
#include <memory>

class QEvent;
class QEventLoop;
class QObject;

namespace nodalyx {

// How a wait ended.
enum class WaitResult {
    Met,       // the condition holds
    TimedOut,  // the deadline passed first
    Lost,      // the owner's loss condition held first
    Refused,   // a wait of the same owner was running already: no loop was run
    Deleting,  // a deferred delete of the owner arrived: it was held, and is issued again now
    Destroyed, // the owner was destroyed meanwhile: touch nothing of it
    Ending,    // the program is closing down: event loops no longer run
};

// The one wait of the tool's exchanges: runs a local event loop until a condition holds, a
// loss condition holds, a monotonic deadline passes or the program closes down. Nothing spins
// or sleeps; the loop sleeps until the owner calls wake() (bytes arrived, the connection went,
// its state changed) or the deadline timer fires, and then looks at the conditions again.
//
// The owner keeps one WaitLoop as a member, declared before the members its conditions read,
// and gives it itself:
// - a second wait while one runs is refused (WaitResult::Refused), without running a loop;
// - the owner destroyed during the wait (a direct delete from a slot) ends the wait with
//   WaitResult::Destroyed, and the wait touches nothing of the owner afterwards, so callers
//   need no guards of their own beyond not touching the owner after that result;
// - a deferred delete of the owner that arrives during the wait is held (the owner's event()
//   asks holdDeferredDelete() first), ends the wait with WaitResult::Deleting, and is issued
//   again as the wait returns: the owner lives until control is back in an event loop.
//
// One thread: the owner's thread.
class WaitLoop {
public:
    // owner: the object whose deferred delete is held and re-issued (may be null).
    explicit WaitLoop(QObject* owner = nullptr);
    ~WaitLoop();
    WaitLoop(const WaitLoop&) = delete;
    WaitLoop& operator=(const WaitLoop&) = delete;

    // Runs events until done() holds (Met), lost() holds (Lost; no loss condition when lost
    // is empty) or the deadline passes (TimedOut); done() is asked first, also before any
    // event runs, so a condition that holds already answers Met at once. The deadline may be
    // moved during the wait with setDeadline().
    WaitResult wait(const std::function<bool()>& done, QDeadlineTimer deadline,
                    const std::function<bool()>& lost = {});
    // The same with a deadline timeoutMs (at least 0) from now, measured precisely.
    WaitResult waitFor(const std::function<bool()>& done, int timeoutMs,
                       const std::function<bool()>& lost = {});

    // Lets the running wait look at its conditions again; nothing when none runs.
    void wake();
    bool isWaiting() const { return m_loop != nullptr; }

    // The running wait's deadline; a new one takes effect at once.
    QDeadlineTimer deadline() const { return m_deadline; }
    void setDeadline(QDeadlineTimer deadline);

    // For the owner's event(): true (the event taken) when e is a deferred delete arriving
    // during a wait; the wait then ends and the delete is issued again once it has.
    bool holdDeferredDelete(QEvent* e);

private:
    WaitResult runLoop(const std::function<bool()>& done, const std::function<bool()>& lost);
    void finish();

    QObject* m_owner = nullptr;
    QEventLoop* m_loop = nullptr;
    QDeadlineTimer m_deadline;
    bool m_deleteHeld = false;
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
};

} // namespace nodalyx
