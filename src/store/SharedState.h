#pragma once

#include "GeneralSettings.h"
#include "UnitConfig.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <array>

namespace nodalyx {

// The state every window and routine of one run shares: the selected location's settings,
// its two unit tables. One object, passed by reference. (The link keeps its own receive state.)
struct SharedState {
    QString programDir;   // where the location files live
    QString locationName; // the location loaded into settings and the tables; empty: none
    GeneralSettings settings;
    QStringList eDHCPIPaddress; // address the logger obtained by DHCP; memory only
    UnitTable HW1Unit;
    UnitTable HW2Unit;
    // The days as the report lines name them, Sunday first (the main window sets them at
    // start; commands without the window have them from here).
    std::array<QString, 7> DayNames{QStringLiteral("Sunday"),   QStringLiteral("Monday"),
                                    QStringLiteral("Tuesday"),  QStringLiteral("Wednesday"),
                                    QStringLiteral("Thursday"), QStringLiteral("Friday"),
                                    QStringLiteral("Saterday")};
    bool ServiceMode = false;

    // highway 1 or 2
    UnitTable& table(int highway) { return highway == 2 ? HW2Unit : HW1Unit; }
    const UnitTable& table(int highway) const { return highway == 2 ? HW2Unit : HW1Unit; }
};

} // namespace nodalyx
