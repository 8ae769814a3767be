#pragma once

#include "GeneralSettings.h"

#include <QList>
#include <QString>

namespace nodalyx {

// A value of a location that the configuration window, the new-location window or the upload
// would not take, and the rule it breaks.
struct LocationProblem {
    QString key;   // the location file's key: "LocationCode", "Monday", "eIPaddress", "eExt2"
    QString value; // the value as the location file holds it
    QString rule;  // what the value must be: "at most 10 characters"

    friend bool operator==(const LocationProblem&, const LocationProblem&) = default;
};

// Every value of the settings that breaks a rule, one problem per value, in the order of the
// location file; empty when there is none. An empty text, extension, local address or port
// passes (the local address and port not for a LAN location), and so does an empty logger
// port, which the upload sends as 3101; an empty day, interval or logger address does not, as
// the upload cannot send it.
QList<LocationProblem> locationProblems(const GeneralSettings& settings);

// `KEY: "VALUE" - RULE`
QString problemLine(const LocationProblem& problem);

} // namespace nodalyx
