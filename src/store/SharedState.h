#pragma once

#include "GeneralSettings.h"
#include "UnitConfig.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <array>

namespace nodalyx {

// What the receive path has collected from the logger since the last request.
struct LinkState {
    QByteArray RxBuffer;  // one byte per received byte, in arrival order
    bool AckFlag = false; // the buffer was seen to start with 6 (ACK)
    bool NakFlag = false; // the buffer was seen to start with 21 (NAK)
};

// The state every window and routine of one run shares: the selected location's settings,
// its two unit tables and the link's receive state. One object, passed by reference.
struct SharedState {
    QString programDir; // where the location files live
    GeneralSettings settings;
    QStringList eDHCPIPaddress; // address the logger obtained by DHCP; memory only
    UnitTable HW1Unit;
    UnitTable HW2Unit;
    std::array<QString, 7> DayNames;
    LinkState link;
    bool ServiceMode = false;

    // highway 1 or 2
    UnitTable& table(int highway) { return highway == 2 ? HW2Unit : HW1Unit; }
    const UnitTable& table(int highway) const { return highway == 2 ? HW2Unit : HW1Unit; }
};

} // namespace nodalyx
