#include "WaitLoop.h"

#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>
#include <QObject>
#include <QTimer>
#include <algorithm>
#include <climits>

namespace nodalyx {

WaitLoop::WaitLoop(QObject* owner) : m_owner(owner) {}

WaitLoop::~WaitLoop() {
    *m_alive = false;
    if (m_loop)
        m_loop->quit();
}

WaitResult WaitLoop::waitFor(const std::function<bool()>& done, int timeoutMs,
                             const std::function<bool()>& lost) {
    return wait(done, QDeadlineTimer(std::max(0, timeoutMs), Qt::PreciseTimer), lost);
}

WaitResult WaitLoop::wait(const std::function<bool()>& done, QDeadlineTimer deadline,
                          const std::function<bool()>& lost) {
    if (m_loop)
        return WaitResult::Refused;
    m_deadline = deadline;
    const std::shared_ptr<bool> alive = m_alive;
    const WaitResult result = runLoop(done, lost);
    if (!*alive)
        return WaitResult::Destroyed; // the owner and this wait are gone: touch nothing
    finish();
    return result;
}

WaitResult WaitLoop::runLoop(const std::function<bool()>& done, const std::function<bool()>& lost) {
    const std::shared_ptr<bool> alive = m_alive;
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    m_loop = &loop;
    for (;;) {
        if (done())
            return WaitResult::Met;
        if (lost && lost())
            return WaitResult::Lost;
        if (m_deleteHeld)
            return WaitResult::Deleting;
        if (m_deadline.hasExpired())
            return WaitResult::TimedOut;
        if (!m_deadline.isForever())
            timer.start(int(std::clamp<qint64>(m_deadline.remainingTime(), 0, INT_MAX)));
        const int exitCode = loop.exec();
        if (!*alive)
            return WaitResult::Destroyed;
        if (exitCode != 0 || QCoreApplication::closingDown())
            return WaitResult::Ending; // event loops no longer run: waiting on would spin
    }
}

void WaitLoop::finish() {
    m_loop = nullptr;
    if (m_deleteHeld) {
        m_deleteHeld = false;
        if (m_owner)
            m_owner->deleteLater();
    }
}

void WaitLoop::wake() {
    if (m_loop)
        m_loop->quit();
}

void WaitLoop::setDeadline(QDeadlineTimer deadline) {
    m_deadline = deadline;
    wake(); // the deadline timer starts afresh
}

bool WaitLoop::holdDeferredDelete(QEvent* e) {
    if (e->type() != QEvent::DeferredDelete || !m_loop)
        return false;
    m_deleteHeld = true;
    wake();
    return true;
}

} // namespace nodalyx
