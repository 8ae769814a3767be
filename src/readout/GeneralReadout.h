#pragma once

#include "Cancellation.h"
#include "ConfigurationControls.h"
#include "Link.h"
#include "LoggerClock.h"
#include "Operator.h"
#include "SharedState.h"

#include <QDateTime>
#include <QSet>
#include <QStringList>
#include <functional>
#include <optional>

namespace nodalyx {

// The steps of the general read-out, for its progress bar.
inline constexpr int kGeneralReadoutSteps = 25;

struct GeneralReadout {
    bool connected = false;           // the link opened and the queries ran
    bool cancelled = false;           // the operator stopped it; the link was closed
    BoxKeys read;                     // the boxes written from the logger's replies
    QStringList failed;               // what got no valid reply ("Location Code", "Monday")
    std::optional<LoggerClock> clock; // the logger's clock as read
    QDateTime clockReadAt;            // the PC's time just after the clock was read
};

struct ReadoutHooks {
    // Called with the progress value 0..25 after every step.
    std::function<void(int value)> progress;
    // The PC's clock; the local time by default.
    std::function<QDateTime()> now;
};

// "Connection with Data logger failed", with the reason when one is known
// ("Connection with Data logger failed: 10.1.2.3:3101: no answer within 5 s").
QString dataLoggerFailedText(const QString& reason);
QString dataLoggerFailedText(const Link& link);

// The general read-out: opens the link of the location, reads the seven location texts, the
// clock, the seven counting windows, the interval, IP address, subnet mask, gateway, DHCP
// address, port, MAC address, host name and serial number into the controls (the interval
// also into the settings' Interval field), in that order, and closes a TCP connection at the
// end (a serial port stays open). A query that fails leaves its controls as they were and the
// read-out goes on. Without a link the operator is told once why: "Connection with Data logger
// failed: where: why" for a TCP connection (a serial port that cannot be opened is told by the
// link itself), and nothing is sent. cancel is looked at between two queries: a cancelled
// read-out ends after the query under way and closes the link (a serial port too); what was
// read so far stays in the controls. The location file is never written.
GeneralReadout ReadGeneralSettings(SharedState& state, Link& link, Operator& op,
                                   ConfigurationControls& controls, const ReadoutHooks& hooks = {},
                                   const Cancellation* cancel = nullptr);

} // namespace nodalyx
