#pragma once

#include <QString>
#include <QStringList>
#include <array>

namespace nodalyx {

// The settings of one location, as its location file holds them. Field names are the
// file's keys; Days and eExt carry the keys in their elements. Nothing is validated here: the
// record keeps the file's text as it is; LocationSettings.h gives the typed values and the rules
// (connection kind, counting windows, interval, addresses, port).
struct GeneralSettings {
    qint16 ConnType = 0; // ConnectionKind: 1 serial, 2 LAN, 3 analogue modem, 4 GSM modem
    float Comport = 0;   // serial port number, used when ConnType is 1
    QString PhoneNumber;
    QString IPnumber;
    QString Portnumber;
    QString LocationCode;
    QString LocationName;
    QString LocationPlace;
    std::array<QString, 7> Days; // hhmmhhmm, index 0 = Sunday
    QString Interval;            // minutes, as text
    QStringList eIPaddress;      // one element per octet
    QString ePortnumber;
    QStringList eSubnetmask;
    QStringList eGateway;
    QStringList eMACaddress; // one element per byte
    bool eDHCP = false;
    QString eHostname;
    QString eSerialnumber;
    std::array<QString, 4> eExt;

    friend bool operator==(const GeneralSettings&, const GeneralSettings&) = default;
};

} // namespace nodalyx
