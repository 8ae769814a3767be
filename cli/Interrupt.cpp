#include "Interrupt.h"

#include <QSocketNotifier>
#include <QTextStream>

#ifdef Q_OS_UNIX
#include <csignal>
#include <unistd.h>
#endif

namespace nodalyx::cli {

#ifdef Q_OS_UNIX
namespace {

int g_interruptPipe[2] = {-1, -1};

// A signal handler may only write to a pipe; the event loop reads it.
void onSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(g_interruptPipe[1], &byte, 1);
    std::signal(SIGINT, SIG_DFL); // a second Ctrl-C ends the program at once
}

} // namespace

void onFirstInterrupt(QObject* owner, const QString& notice, std::function<void()> onInterrupt) {
    if (g_interruptPipe[0] < 0 && ::pipe(g_interruptPipe) != 0)
        return;
    auto* notifier = new QSocketNotifier(g_interruptPipe[0], QSocketNotifier::Read, owner);
    QObject::connect(notifier, &QSocketNotifier::activated, owner,
                     [notifier, notice, onInterrupt = std::move(onInterrupt)] {
                         char byte = 0;
                         [[maybe_unused]] const ssize_t n = ::read(g_interruptPipe[0], &byte, 1);
                         notifier->setEnabled(false);
                         QTextStream(stderr) << notice << Qt::endl;
                         onInterrupt();
                     });
    std::signal(SIGINT, onSignal);
}
#else
void onFirstInterrupt(QObject*, const QString&, std::function<void()>) {}
#endif

} // namespace nodalyx::cli
