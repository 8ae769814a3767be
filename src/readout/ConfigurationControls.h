#pragma once

#include <QHashFunctions>
#include <QSet>
#include <QString>
#include <array>
#include <optional>

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

// The boxes of the configuration window by what they show; an array of boxes is one Box with
// the index of its element (as the members of ConfigurationControls are indexed).
enum class Box : quint8 {
    IPaddress, // 0..3 the logger's own address, 7..4 the local one
    PortNumber1,
    Code,
    Name,
    Place,
    Start,
    Stop,
    Interval,
    Subnetmask,
    Gateway,
    DHCP,
    PortNumber,
    MacAddress,
    HostName,
    SerialNumber,
    Ext, // 0..3
    Date,
};

// One box: which, and the element of an array of boxes (0 for a single box).
struct BoxKey {
    Box box = Box::Code;
    int index = 0;

    friend bool operator==(const BoxKey&, const BoxKey&) = default;
};

inline size_t qHash(const BoxKey& key, size_t seed = 0) {
    return qHashMulti(seed, quint8(key.box), key.index);
}

using BoxKeys = QSet<BoxKey>;

// The box's object name in the window ("txtIPaddress7", "txtExt1" for Ext 0), which the command
// line's report uses as well.
QString boxName(const BoxKey& key);

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
    // The minutes the logger holds, read with CboInterval, which shows 30 for a value that is
    // none of its items.
    std::optional<int> loggerInterval;
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

    // Boxes that do not show their field whole: Save keeps such a field as it is until the box
    // is filled anew, by typing or by the read-out.
    BoxKeys kept;

    friend bool operator==(const ConfigurationControls&, const ConfigurationControls&) = default;
};

// The interval items of CboInterval.
inline const std::array<const char*, 5> kIntervalItems{"5", "10", "15", "30", "60"};

} // namespace nodalyx
