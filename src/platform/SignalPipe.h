#pragma once

#include <QObject>

class QSocketNotifier;

namespace nodalyx {

namespace detail {
bool onConsoleControl(unsigned long type);
}

// Turns a process signal into the Qt signal `received`, emitted from the event loop: the
// signal handler only writes a byte to a pipe, and the event loop reads it. One pipe serves
// the process; when several of these objects live at once, the one that reads the byte first
// reports it. The handlers stay in place after its end, so a late Ctrl-C cannot cut short
// what the program does on its way out (writing a file, say).
//
// On Windows the console's Ctrl-C and Ctrl-Break take the place of SIGINT and SIGTERM: the
// console calls a handler on a thread of its own, which posts to every watching object.
class SignalPipe : public QObject {
    Q_OBJECT
public:
    enum class Watch {
        // Ctrl-C (SIGINT), reported once; a second Ctrl-C ends the program at once.
        InterruptOnce,
        // Ctrl-C and a stop request (SIGINT, SIGTERM), each one reported.
        InterruptAndTerminate,
    };

    explicit SignalPipe(Watch watch, QObject* parent = nullptr);
    ~SignalPipe() override;

    // Whether the handlers are in place (false where the system has neither signals nor a
    // console handler, or when the pipe cannot be made).
    bool isWatching() const { return m_watching; }

signals:
    void received();

private:
    void onReadable();
    friend bool detail::onConsoleControl(unsigned long type);

    Watch m_watch;
    bool m_watching = false;
    [[maybe_unused]] bool m_reported = false; // Windows: an InterruptOnce watcher had its Ctrl-C
    QSocketNotifier* m_notifier = nullptr;
};

} // namespace nodalyx
