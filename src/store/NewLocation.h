#pragma once

#include "Operator.h"
#include "SharedState.h"

#include <QString>

namespace nodalyx {

// What the operator says about a location to be created.
struct NewLocationRequest {
    QString name;        // used exactly as typed, blanks at the ends included
    qint16 ConnType = 0; // 0 none chosen, 1 serial, 2 LAN
    QString comport;     // "1".."16", or empty
    QString IPnumber;    // "a.b.c.d" (empty when no address)
    QString Portnumber;  // TCP port text
};

// Empty when the request can be carried out in programDir, else the reason for the operator
// (blank or unusable name, existing location, serial without port, LAN with a bad address).
QString checkNewLocation(const QString& programDir, const NewLocationRequest& request);

// The interval of a new location when the location loaded before has none.
inline constexpr const char* kNewLocationInterval = "30";

// Puts the defaults of a new location into state.settings (Interval and eMACaddress are kept;
// an empty interval becomes kNewLocationInterval).
void applyNewLocationDefaults(SharedState& state, const NewLocationRequest& request);

// Checks the request, then writes "<name>.fgr", creates the folder and writes both highway
// files with default units. On a refusal or failure it reports through op and answers false.
bool createLocation(SharedState& state, const NewLocationRequest& request, Operator& op);

} // namespace nodalyx
