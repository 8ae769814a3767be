// Data shared by the read-out tests.
#pragma once

#include "SharedState.h"

#include <QList>

namespace nodalyx::test {

// The requests of the general read-out, in order.
inline const QList<int> kReadoutCodes{101, 103, 105, 107, 109, 111, 113, 2,  3,  3,  3,  3,
                                      3,   3,   3,   3,   51,  51,  51,  65, 55, 57, 63, 59};

// A LAN location with every field set and valid.
inline GeneralSettings validLocation() {
    GeneralSettings g;
    g.ConnType = 2;
    g.Comport = 3;
    g.IPnumber = "10.0.0.7";
    g.Portnumber = "10001";
    g.LocationCode = "Shop";
    g.LocationName = "Harbour";
    g.LocationPlace = "Quay 1";
    g.Days.fill("07002200");
    g.Interval = "15";
    g.eIPaddress = QStringList{"192", "168", "1", "10"};
    g.eSubnetmask = QStringList{"255", "255", "255", "0"};
    g.eGateway = QStringList{"192", "168", "1", "1"};
    g.ePortnumber = "3101";
    g.eMACaddress = QStringList{"00", "1A", "2B", "3C", "4D", "5E"};
    g.eHostname = "logger1";
    g.eSerialnumber = "NX0042";
    g.eExt = {"a", "", "x y", "spare"};
    return g;
}

} // namespace nodalyx::test
