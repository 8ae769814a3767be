#pragma once

#include "GeneralSettings.h"
#include "Link.h"
#include "Operator.h"

#include <QMetaObject>
#include <QString>
#include <functional>
#include <optional>

namespace nodalyx {

// How one routine talks to the logger, named where routines differ.
struct SessionPolicy {
    // The serial-number check after opening.
    enum class Serial {
        None,            // no check (the clock, the settings read-out)
        Compare,         // read once; no answer fails; a different number asks the operator
        WakeThenCompare, // read twice, the first answer only proves the logger is there
    };
    // When the link is closed at the end.
    enum class Close {
        Always,  // every path closes it
        TcpOnly, // a serial port stays open for the next exchange (the clock, the read-out)
    };
    Serial serial = Serial::None;
    Close close = Close::Always;
    // Close whatever is open before opening (a fresh connection for a long run).
    bool reopen = false;
    // Show the hourglass from the start (else the routine shows it once the link is open).
    bool hourglassFirst = true;
    // What the operator reads when the logger cannot be reached: the text for a TCP failure
    // (the link's reason in it) — a serial port that cannot be opened is always told in the
    // link's own words, naming the device — or, when empty, nothing: the routine reports it.
    std::function<QString(const Link&)> failureText;
};

// One conversation with a location's logger: refuse when the link is busy, the hourglass, open,
// say why opening failed, the serial-number check and the close on every path, by the policy.
// The routine runs its exchanges on link() between a successful start() and the end of the
// session.
class LoggerSession {
public:
    enum class Start {
        Ready,       // open and, when the policy asks, the serial number checked
        Unavailable, // busy or leased: told
        OpenFailed,  // told (unless the policy leaves it to the routine)
        NoSerial,    // the logger did not answer the serial-number request: told likewise
        Declined,    // another logger, and the operator chose not to go on
    };

    LoggerSession(Link& link, Operator& op, const GeneralSettings& settings, SessionPolicy policy);
    ~LoggerSession();
    LoggerSession(const LoggerSession&) = delete;
    LoggerSession& operator=(const LoggerSession&) = delete;

    Start start();
    Link& link() { return m_link; }
    // The serial number the logger answered (after a start that read it).
    const std::optional<QString>& remoteSerial() const { return m_remote; }
    // The hourglass, shown now when the policy did not show it from the start.
    void showHourglass();
    // Restores the pointer before the routine tells the operator something.
    void releaseHourglass();
    // Closes the link now (also when the policy keeps a serial port open).
    void close();

private:
    bool open();
    bool serialChecked();
    void tellFailure();

    Link& m_link;
    Operator& m_op;
    const GeneralSettings& m_settings;
    SessionPolicy m_policy;
    std::optional<BusyGuard> m_hourglass;
    std::optional<QString> m_remote;
    bool m_started = false;
    bool m_closed = false;
};

// The logger's answer to the serial-number request as the routines take it: no reply, or the
// word False in any case (the text the tool has always used for "no reply"), is none.
std::optional<QString> answeredSerial(const std::optional<QString>& reply);

// The question, with both serial numbers below the fixed text.
QString serialMismatchQuestion(const QString& local, const QString& remote);
// Asks whether to go on with a logger whose serial number does not hold the location's: a
// warning with No as the default answer, so that Enter never carries on with the wrong logger.
bool continueWithOtherLogger(Operator& op, const QString& local, const QString& remote);

// Tells the link's notices to the operator for as long as the connection lives.
QMetaObject::Connection tellNotices(Link& link, Operator& op);

} // namespace nodalyx
