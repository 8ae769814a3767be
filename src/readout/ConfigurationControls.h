#pragma once

#include <QSet>
#include <QString>
#include <array>

namespace nodalyx {

// Input limits of the configuration window's text boxes (the longest text that can be typed).
inline constexpr int kOctetBoxLength = 3;
inline constexpr int kPortBoxLength = 5;
inline constexpr int kLocationTextLength = 10; // code, name, place
inline constexpr int kExtBoxLength = 6;
inline constexpr int kTimeBoxLength = 5;
inline constexpr int kMacBoxLength = 2;
inline constexpr int kHostNameLength = 20;
inline constexpr int kSerialBoxLength = 10;

// The texts and choices of the configuration window's controls as plain data: what the
// window shows, what the read-out from the logger writes and what Save stores. The members
// carry the controls' names; arrays are indexed as the control arrays are.
struct ConfigurationControls {
    int CboConnType = 0; // item index: 0 "Com port", 1 "LAN"
    QString CboCommport = QStringLiteral("1");
    std::array<QString, 8> txtIPaddress; // 0..3 the logger's own address, 7..4 the local one
    QString txtPortNumber1;              // local port
    QString txtCode;
    QString txtName;
    QString txtPlace;
    std::array<QString, 7> txtStart; // 0 = Sunday
    std::array<QString, 7> txtStop;
    QString CboInterval = QStringLiteral("30");
    std::array<QString, 4> txtSubnetmask;
    std::array<QString, 4> txtGateway;
    std::array<QString, 4> txtDHCP;
    bool ChkDHCP = false;
    QString txtPortNumber; // the logger's port
    std::array<QString, 6> txtMacAddress;
    QString txtHostName;
    QString txtSerialNumber;
    std::array<QString, 4> txtExt; // txtExt1 .. txtExt4
    QString txtDate;

    // Boxes (by object name, "txtCode", "txtIPaddress7") that do not show their field whole:
    // Save keeps such a field as it is until the box is filled anew, by typing or by the
    // read-out.
    QSet<QString> kept;

    friend bool operator==(const ConfigurationControls&, const ConfigurationControls&) = default;
};

// The interval items of CboInterval.
inline const std::array<const char*, 5> kIntervalItems{"5", "10", "15", "30", "60"};

// Object names of the elements of a control array: "txtIPaddress" 7 -> "txtIPaddress7".
inline QString boxName(const char* array, int index) {
    return QLatin1String(array) + QString::number(index);
}

} // namespace nodalyx
