#include "SettingsReport.h"

#include "FormChecks.h"
#include "PrintableJson.h"
#include "PrintableText.h"

#include <QJsonArray>
#include <QStringList>

namespace nodalyx::cli {

namespace {

template <std::size_t N> QJsonArray array(const std::array<QString, N>& boxes) {
    QJsonArray out;
    for (const QString& box : boxes)
        out.append(box);
    return out;
}

template <std::size_t N> QString joined(const std::array<QString, N>& boxes, char separator) {
    return QStringList(boxes.begin(), boxes.end()).join(QLatin1Char(separator));
}

QString line(const QString& label, const QString& value) {
    return QStringLiteral("%1 %2\n").arg(label + QLatin1Char(':'), -20).arg(printableText(value));
}

} // namespace

QJsonObject settingsJson(const ConfigurationControls& c) {
    const std::array<QString, 4> ip{c.txtIPaddress[0], c.txtIPaddress[1], c.txtIPaddress[2],
                                    c.txtIPaddress[3]};
    QJsonObject json{{"txtCode", c.txtCode},
                     {"txtName", c.txtName},
                     {"txtPlace", c.txtPlace},
                     {"txtDate", c.txtDate},
                     {"txtPortNumber", c.txtPortNumber},
                     {"txtHostName", c.txtHostName},
                     {"txtSerialNumber", c.txtSerialNumber},
                     {"CboInterval", c.CboInterval},
                     {"txtStart", array(c.txtStart)},
                     {"txtStop", array(c.txtStop)},
                     {"txtIPaddress", array(ip)},
                     {"txtSubnetmask", array(c.txtSubnetmask)},
                     {"txtGateway", array(c.txtGateway)},
                     {"txtDHCP", array(c.txtDHCP)},
                     {"txtMacAddress", array(c.txtMacAddress)}};
    for (int k = 0; k < 4; ++k)
        json.insert(QStringLiteral("txtExt%1").arg(k + 1), c.txtExt[k]);
    return printableJson(json);
}

QString settingsText(const ConfigurationControls& c, const QString& clockLine) {
    const std::array<QString, 4> ip{c.txtIPaddress[0], c.txtIPaddress[1], c.txtIPaddress[2],
                                    c.txtIPaddress[3]};
    QString text = line(QStringLiteral("Location Code"), c.txtCode) +
                   line(QStringLiteral("Location Name"), c.txtName) +
                   line(QStringLiteral("Location Place"), c.txtPlace);
    for (int k = 0; k < 4; ++k)
        text += line(QStringLiteral("KVR file copy to %1").arg(k + 1), c.txtExt[k]);
    QString date = c.txtDate;
    if (!clockLine.isEmpty())
        date += QStringLiteral("  (%1)").arg(clockLine);
    text += line(QStringLiteral("Date/Time logger"), date);
    for (int i = 0; i < 7; ++i)
        text += line(QLatin1String(dayRowNames()[i]),
                     c.txtStart[i] + QStringLiteral(" - ") + c.txtStop[i]);
    return text + line(QStringLiteral("Interval"), c.CboInterval) +
           line(QStringLiteral("IP address"), joined(ip, '.')) +
           line(QStringLiteral("Subnetmask"), joined(c.txtSubnetmask, '.')) +
           line(QStringLiteral("Gateway"), joined(c.txtGateway, '.')) +
           line(QStringLiteral("DHCP IP"), joined(c.txtDHCP, '.')) +
           line(QStringLiteral("Port number"), c.txtPortNumber) +
           line(QStringLiteral("MAC address"), joined(c.txtMacAddress, '-')) +
           line(QStringLiteral("Host name"), c.txtHostName) +
           line(QStringLiteral("Serial number"), c.txtSerialNumber);
}

namespace {

// The boxes by their object names, as the report has always named them.
QStringList boxNames(const QList<BoxKey>& boxes) {
    QStringList names;
    for (const BoxKey& box : boxes)
        names << boxName(box);
    return names;
}

} // namespace

QJsonObject withDifferences(QJsonObject json, const QList<SettingDifference>& differences) {
    QJsonArray list;
    for (const SettingDifference& d : differences)
        list.append(QJsonObject{{"setting", d.setting},
                                {"location", d.location},
                                {"logger", d.logger},
                                {"boxes", QJsonArray::fromStringList(boxNames(d.boxes))}});
    json.insert(QStringLiteral("differences"), list);
    return printableJson(json);
}

} // namespace nodalyx::cli
