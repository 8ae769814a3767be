#pragma once

#include "ConfigurationControls.h"
#include "GeneralSettings.h"

#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

namespace nodalyx {

// A setting whose value in the logger differs from the location's.
struct SettingDifference {
    QString setting;     // the location file's key: "LocationName", "Monday", "eIPaddress"
    QList<BoxKey> boxes; // the boxes that differ
    QString location;    // the value as the location holds it ("07002200", "192.168.1.10")
    QString logger;      // the logger's value in the same form
};

// Compares the boxes the read-out wrote (`read`) with the location's settings as they were
// before it. Texts are compared without the blanks around them (the logger pads its texts;
// the location file keeps no outer blanks); boxes that were not read are not compared. The
// MAC address, DHCP address and clock have no location value.
QList<SettingDifference> compareWithLocation(const GeneralSettings& location,
                                             const ConfigurationControls& controls,
                                             const BoxKeys& read);

// `LocationName: location "Shop" logger "Shop 2"`
QString differenceLine(const SettingDifference& difference);

} // namespace nodalyx
