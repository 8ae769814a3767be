#pragma once

#include "ConfigurationControls.h"

#include <QString>

namespace nodalyx {

// Why Save cannot store the controls, naming the first box that is wrong ("Start time of
// Monday must be HH:MM, for example 07:00."); empty when they can be stored. Times must be
// HH:MM within 00:00..23:59 (both boxes of a day may be empty together), octets 0..255 and
// ports 0..65535; an empty octet or port box stays allowed, except in a local IP address whose
// first box is filled. Texts must survive the location file (no "[", "]", "{" or control
// characters).
QString checkControls(const ConfigurationControls& controls);

// The day names of the window's rows, "Sunday" .. "Saterday".
const std::array<const char*, 7>& dayRowNames();

} // namespace nodalyx
