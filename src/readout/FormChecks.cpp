#include "FormChecks.h"

#include "HighwayFileCodec.h"
#include "ValueRules.h"

namespace nodalyx {

namespace {

QString octetRefusal(int octet, const char* address) {
    return QStringLiteral("Octet %1 of the %2 must be a number from 0 to 255.")
        .arg(octet)
        .arg(QLatin1String(address));
}

QString checkLocalAddress(const ConfigurationControls& c) {
    if (c.txtIPaddress[7].isEmpty() || c.kept.contains({Box::IPaddress, 7}))
        return {}; // Save keeps IPnumber as it is
    for (int box = 7; box >= 4; --box) {
        if (!isOctet(c.txtIPaddress[box]))
            return octetRefusal(8 - box, "local IP address");
    }
    return {};
}

// The box takes any number typed in: a Com port location needs one 1..255; a LAN location
// keeps its number when the box is left empty.
QString checkComport(const ConfigurationControls& c) {
    if (c.CboCommport.isEmpty() && c.CboConnType != 0)
        return {};
    if (isNumberIn(c.CboCommport, 1, kHighestComport))
        return {};
    return QStringLiteral("The Comm port \"%1\" is not a port number 1..%2.")
        .arg(c.CboCommport)
        .arg(kHighestComport);
}

// Boxes listed in kept are not stored, so they are not checked either.
bool stored(const ConfigurationControls& c, const BoxKey& box) {
    return !c.kept.contains(box);
}

QString checkOctets(const ConfigurationControls& c, const std::array<QString, 4>& boxes, Box array,
                    const char* address) {
    for (int i = 0; i < 4; ++i) {
        if (!boxes[i].isEmpty() && stored(c, {array, i}) && !isOctet(boxes[i]))
            return octetRefusal(i + 1, address);
    }
    return {};
}

QString checkPort(const ConfigurationControls& c, const QString& text, Box box, const char* which) {
    if (text.isEmpty() || !stored(c, {box}) || isNumberUpTo(text, kHighestPort))
        return {};
    return QStringLiteral("%1 port number must be a number from 0 to 65535.")
        .arg(QLatin1String(which));
}

QString checkDays(const ConfigurationControls& c) {
    for (int i = 0; i < 7; ++i) {
        if (c.txtStart[i].isEmpty() && c.txtStop[i].isEmpty())
            continue; // an empty day stays empty
        const QString day = QLatin1String(dayRowNames()[i]);
        if (!isTime(c.txtStart[i]))
            return QStringLiteral("Start time of %1 must be HH:MM, for example 07:00.").arg(day);
        if (!isTime(c.txtStop[i]))
            return QStringLiteral("Stop time of %1 must be HH:MM, for example 22:00.").arg(day);
    }
    return {};
}

QString checkText(const QString& text, const char* label) {
    const QString problem = unitValueProblem(text);
    return problem.isEmpty() ? QString()
                             : QLatin1String(label) + QLatin1Char(' ') + problem + QLatin1Char('.');
}

QString checkTexts(const ConfigurationControls& c) {
    struct Text {
        const QString& text;
        BoxKey box;
        const char* label;
    };
    const Text texts[] = {{c.txtCode, {Box::Code}, "Location Code"},
                          {c.txtName, {Box::Name}, "Location Name"},
                          {c.txtPlace, {Box::Place}, "Location Place"},
                          {c.txtHostName, {Box::HostName}, "Host name"},
                          {c.txtSerialNumber, {Box::SerialNumber}, "Serial number"},
                          {c.txtExt[0], {Box::Ext, 0}, "KVR file copy to 1"},
                          {c.txtExt[1], {Box::Ext, 1}, "KVR file copy to 2"},
                          {c.txtExt[2], {Box::Ext, 2}, "KVR file copy to 3"},
                          {c.txtExt[3], {Box::Ext, 3}, "KVR file copy to 4"}};
    for (const Text& t : texts) {
        if (!stored(c, t.box))
            continue;
        if (QString refusal = checkText(t.text, t.label); !refusal.isEmpty())
            return refusal;
    }
    return {};
}

} // namespace

const std::array<const char*, 7>& dayRowNames() {
    static const std::array<const char*, 7> names{"Sunday",   "Monday", "Tuesday", "Wednesday",
                                                  "Thursday", "Friday", "Saterday"};
    return names;
}

QString checkControls(const ConfigurationControls& c) {
    const std::array<QString, 4> remote{c.txtIPaddress[0], c.txtIPaddress[1], c.txtIPaddress[2],
                                        c.txtIPaddress[3]};
    const QString refusals[] = {checkComport(c),
                                checkLocalAddress(c),
                                checkPort(c, c.txtPortNumber1, Box::PortNumber1, "Local"),
                                checkDays(c),
                                checkOctets(c, remote, Box::IPaddress, "remote IP address"),
                                checkOctets(c, c.txtSubnetmask, Box::Subnetmask, "Subnetmask"),
                                checkOctets(c, c.txtGateway, Box::Gateway, "Gateway"),
                                checkPort(c, c.txtPortNumber, Box::PortNumber, "Remote"),
                                checkTexts(c)};
    for (const QString& refusal : refusals) {
        if (!refusal.isEmpty())
            return refusal;
    }
    return {};
}

} // namespace nodalyx
