#include "SignalPipe.h"

#include <QSocketNotifier>

#ifdef Q_OS_UNIX
#include <csignal>
#include <fcntl.h>
#include <unistd.h>
#elif defined(Q_OS_WIN)
#include <mutex>
#include <vector>
#include <windows.h>
#endif

namespace nodalyx {

#ifdef Q_OS_UNIX
namespace {

int g_pipe[2] = {-1, -1};

// A signal handler may only write to a pipe; the event loop reads it.
void onSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(g_pipe[1], &byte, 1);
}

void onFirstSignal(int number) {
    onSignal(number);
    std::signal(number, SIG_DFL); // the next one ends the program at once
}

// The process-wide pipe, made on first use. Both ends never block: a full pipe loses a byte
// (one is enough to wake the loop), and a reader that finds it empty goes on.
bool openPipe() {
    if (g_pipe[0] >= 0)
        return true;
    if (::pipe(g_pipe) != 0)
        return false;
    for (int fd : g_pipe) {
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
        ::fcntl(fd, F_SETFD, FD_CLOEXEC);
    }
    return true;
}

// Reads what is waiting; whether anything was.
bool drainPipe() {
    char bytes[16];
    bool any = false;
    while (::read(g_pipe[0], bytes, sizeof bytes) > 0)
        any = true;
    return any;
}

} // namespace

SignalPipe::SignalPipe(Watch watch, QObject* parent) : QObject(parent), m_watch(watch) {
    if (!openPipe())
        return;
    m_notifier = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, this);
    m_watching = true;
    connect(m_notifier, &QSocketNotifier::activated, this, &SignalPipe::onReadable);
    if (m_watch == Watch::InterruptOnce) {
        std::signal(SIGINT, onFirstSignal);
    } else {
        std::signal(SIGINT, onSignal);
        std::signal(SIGTERM, onSignal);
    }
}

SignalPipe::~SignalPipe() = default;

void SignalPipe::onReadable() {
    if (!drainPipe())
        return; // another watcher took the byte
    if (m_watch == Watch::InterruptOnce)
        m_notifier->setEnabled(false);
    emit received();
}
#elif defined(Q_OS_WIN)
// Windows has no signals: the console calls a handler on a thread of its own for Ctrl-C and
// Ctrl-Break. The handler posts to every watching object; Qt delivers the call in the
// object's own thread, from its event loop.
namespace {

std::mutex g_mutex;
std::vector<SignalPipe*> g_watchers; // guarded by g_mutex, so are their m_reported
bool g_handlerInstalled = false;     // guarded by g_mutex

BOOL WINAPI onConsoleEvent(DWORD type) {
    return detail::onConsoleControl(type) ? TRUE : FALSE;
}

} // namespace

// Whether a watcher took the event; when none did, Windows's default ends the program (a
// second Ctrl-C after an InterruptOnce watcher's first, or closing the console).
bool detail::onConsoleControl(unsigned long type) {
    if (type != CTRL_C_EVENT && type != CTRL_BREAK_EVENT)
        return false;
    std::lock_guard lock(g_mutex);
    bool handled = false;
    for (SignalPipe* watcher : g_watchers) {
        if (watcher->m_reported)
            continue;
        if (watcher->m_watch == SignalPipe::Watch::InterruptOnce)
            watcher->m_reported = true;
        handled = true;
        QMetaObject::invokeMethod(watcher, &SignalPipe::onReadable, Qt::QueuedConnection);
    }
    return handled;
}

SignalPipe::SignalPipe(Watch watch, QObject* parent) : QObject(parent), m_watch(watch) {
    std::lock_guard lock(g_mutex);
    if (!g_handlerInstalled)
        g_handlerInstalled = SetConsoleCtrlHandler(onConsoleEvent, TRUE) != 0;
    m_watching = g_handlerInstalled;
    if (m_watching)
        g_watchers.push_back(this);
}

SignalPipe::~SignalPipe() {
    std::lock_guard lock(g_mutex);
    std::erase(g_watchers, this);
}

void SignalPipe::onReadable() {
    emit received();
}
#else
SignalPipe::SignalPipe(Watch watch, QObject* parent) : QObject(parent), m_watch(watch) {}

SignalPipe::~SignalPipe() = default;

void SignalPipe::onReadable() {}
#endif

} // namespace nodalyx
