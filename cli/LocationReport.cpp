#include "LocationReport.h"

#include "HighwayFileCodec.h"
#include "LocationFileCodec.h"
#include "PrintableJson.h"
#include "PrintableText.h"
#include "TextConvert.h"

#include <QJsonArray>
#include <QTextStream>

namespace nodalyx::cli {

namespace {

template <typename List> QJsonArray stringArray(const List& list) {
    QJsonArray array;
    for (const QString& s : list)
        array.append(s);
    return array;
}

QJsonObject settingsJson(const GeneralSettings& s) {
    return QJsonObject{
        {"ConnType", s.ConnType},
        {"Comport", floatText(s.Comport).toDouble()},
        {"PhoneNumber", s.PhoneNumber},
        {"IPnumber", s.IPnumber},
        {"Portnumber", s.Portnumber},
        {"LocationCode", s.LocationCode},
        {"LocationName", s.LocationName},
        {"LocationPlace", s.LocationPlace},
        {"Days", stringArray(s.Days)},
        {"Interval", s.Interval},
        {"eIPaddress", stringArray(s.eIPaddress)},
        {"ePortnumber", s.ePortnumber},
        {"eSubnetmask", stringArray(s.eSubnetmask)},
        {"eGateway", stringArray(s.eGateway)},
        {"eMACaddress", stringArray(s.eMACaddress)},
        {"eDHCP", s.eDHCP},
        {"eHostname", s.eHostname},
        {"eSerialnumber", s.eSerialnumber},
        {"eExt", stringArray(s.eExt)},
    };
}

QJsonObject unitJson(int address, const UnitConfig& unit) {
    QJsonObject json{{"Address", address}, {"Active", unit.Active}, {"HWtype", unit.HWtype}};
    for (const UnitKey& key : unitKeys()) {
        if (key.text)
            json.insert(QLatin1String(key.name), unit.*(key.text));
        else
            json.insert(QLatin1String(key.name), int(unit.*(key.number)));
    }
    return json;
}

QJsonArray tableJson(const UnitTable& table) {
    QJsonArray units;
    for (int i = 1; i <= kUnitsPerHighway; ++i)
        units.append(unitJson(i - 1, table[size_t(i)]));
    return units;
}

QString unitLine(int address, const UnitConfig& u) {
    const QStringList fields{QString::number(address).rightJustified(2, QLatin1Char('0')),
                             QLatin1String("Active=") +
                                 (u.Active ? QLatin1Char('1') : QLatin1Char('0')),
                             QLatin1String("HWtype=") + QString::number(u.HWtype),
                             QLatin1String("HWaddress=") + u.HWaddress,
                             QLatin1String("Col1=") + u.Col1,
                             QLatin1String("Col2=") + u.Col2,
                             QLatin1String("Col3=") + u.Col3,
                             QLatin1String("Col4=") + u.Col4,
                             QLatin1String("Name1=") + u.Name1,
                             QLatin1String("Name2=") + u.Name2,
                             QLatin1String("Name3=") + u.Name3,
                             QLatin1String("Name4=") + u.Name4};
    return fields.join(QLatin1Char(' '));
}

} // namespace

QJsonObject locationJson(const QString& name, const SharedState& state) {
    return printableJson(QJsonObject{
        {"location", name},
        {"settings", settingsJson(state.settings)},
        {"highways", QJsonObject{{"1", tableJson(state.HW1Unit)}, {"2", tableJson(state.HW2Unit)}}},
    });
}

QString locationText(const QString& name, const SharedState& state) {
    QString text;
    QTextStream out(&text);
    out << "Location " << printableText(name) << '\n';
    for (const QString& line : locationBodyLines(state.settings)) {
        if (!line.isEmpty())
            out << printableText(line) << '\n';
    }
    for (int highway : {1, 2}) {
        out << "\nHighway " << highway << '\n';
        for (int i = 1; i <= kUnitsPerHighway; ++i)
            out << printableText(unitLine(i - 1, state.table(highway)[size_t(i)])) << '\n';
    }
    return text;
}

} // namespace nodalyx::cli
