#include "ConfigurationControls.h"

namespace nodalyx {

QString boxName(const BoxKey& key) {
    // The names of the boxes, in the order of Box; arrays end in their element's number.
    static const char* const names[] = {
        "txtIPaddress", "txtPortNumber1", "txtCode",       "txtName",       "txtPlace",
        "txtStart",     "txtStop",        "CboInterval",   "txtSubnetmask", "txtGateway",
        "txtDHCP",      "txtPortNumber",  "txtMacAddress", "txtHostName",   "txtSerialNumber",
        "txtExt",       "txtDate"};
    const QString name = QLatin1String(names[int(key.box)]);
    switch (key.box) {
    case Box::IPaddress:
    case Box::Start:
    case Box::Stop:
    case Box::Subnetmask:
    case Box::Gateway:
    case Box::DHCP:
    case Box::MacAddress:
        return name + QString::number(key.index);
    case Box::Ext:
        return name + QString::number(key.index + 1);
    default:
        return name;
    }
}

} // namespace nodalyx
