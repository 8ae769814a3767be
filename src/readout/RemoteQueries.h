#pragma once

#include "ConfigurationControls.h"
#include "Link.h"
#include "LoggerClock.h"
#include "SharedState.h"

#include <QSet>
#include <optional>

namespace nodalyx {

// The queries that read the logger's own settings into the configuration window's controls.
// Each sends one request on the open link, waits for its reply (at most the reply time) and
// writes its controls; true when a valid reply was decoded. A query without a valid reply
// writes nothing. The boxes a query wrote are added to `read`.

// Day d (1 = Sunday .. 7): a memory read whose reply must be exactly 8 bytes; txtStart and
// txtStop of row d - 1.
bool GetStartStopTime(Link& link, int day, ConfigurationControls& c, BoxKeys& read);
// The interval (exactly 5 bytes) by the interval rule, into the Interval field of the
// settings and CboInterval.
bool GetInterval(GeneralSettings& settings, Link& link, ConfigurationControls& c, BoxKeys& read);
bool GetIPaddres(Link& link, ConfigurationControls& c, BoxKeys& read);
bool GetSubnetmask(Link& link, ConfigurationControls& c, BoxKeys& read);
bool GetGateway(Link& link, ConfigurationControls& c, BoxKeys& read);
bool GetDHCPIPaddres(Link& link, ConfigurationControls& c, BoxKeys& read);
bool GetPortNumber(Link& link, ConfigurationControls& c, BoxKeys& read);
bool GetMACaddress(Link& link, ConfigurationControls& c, BoxKeys& read);
bool GetHostname(Link& link, ConfigurationControls& c, BoxKeys& read);
bool GetSerialNumber(Link& link, ConfigurationControls& c, BoxKeys& read);

// One location text (step 0..6: code, name, place, extensions 1..4): waits until the buffer
// holds the step's count of bytes, whatever the first one is, or the reply time has passed,
// and takes what has arrived of the text. A reply that carries no character of the text
// leaves the box as it is. True when the box was written.
bool GetLocationText(Link& link, int step, ConfigurationControls& c, BoxKeys& read);

// The logger's clock into txtDate ("dd-mm-20yy  hh:mm"); txtDate is left as it is when the
// clock cannot be read.
std::optional<LoggerClock> GetLoggerDate(Link& link, ConfigurationControls& c, BoxKeys& read);

} // namespace nodalyx
