#include "SignalPipe.h"

#include <QSocketNotifier>

#ifdef Q_OS_UNIX
#include <csignal>
#include <fcntl.h>
#include <unistd.h>
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
    connect(m_notifier, &QSocketNotifier::activated, this, &SignalPipe::onReadable);
    if (m_watch == Watch::InterruptOnce) {
        std::signal(SIGINT, onFirstSignal);
    } else {
        std::signal(SIGINT, onSignal);
        std::signal(SIGTERM, onSignal);
    }
}

void SignalPipe::onReadable() {
    if (!drainPipe())
        return; // another watcher took the byte
    if (m_watch == Watch::InterruptOnce)
        m_notifier->setEnabled(false);
    emit received();
}
#else
SignalPipe::SignalPipe(Watch watch, QObject* parent) : QObject(parent), m_watch(watch) {}

void SignalPipe::onReadable() {}
#endif

} // namespace nodalyx
