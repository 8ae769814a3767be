#pragma once

#include <QObject>

class QSocketNotifier;

namespace nodalyx {

// Turns a process signal into the Qt signal `received`, emitted from the event loop: the
// signal handler only writes a byte to a pipe, and the event loop reads it. One pipe serves
// the process; when several of these objects live at once, the one that reads the byte first
// reports it. The handlers stay in place after its end, so a late Ctrl-C cannot cut short
// what the program does on its way out (writing a file, say). Does nothing where there are
// no POSIX signals.
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

    // Whether the handlers are in place (false where there are no POSIX signals, or when the
    // pipe cannot be made).
    bool isWatching() const { return m_notifier != nullptr; }

signals:
    void received();

private:
    void onReadable();

    Watch m_watch;
    QSocketNotifier* m_notifier = nullptr;
};

} // namespace nodalyx
