#pragma once

#include "GeneralSettings.h"

#include <QString>
#include <QStringList>
#include <array>
#include <optional>

namespace nodalyx {

// A typed view of a location's settings: the values the logger takes, parsed once from the
// location file's record (GeneralSettings, which keeps the file's text as it is). Every rule
// that decides whether a value can go to the logger lives here.

// How the location is reached; the numbers are the location file's ConnType.
enum class ConnectionKind : qint16 { None = 0, Serial = 1, Lan = 2, AnalogueModem = 3, Gsm = 4 };
inline constexpr qint16 kHighestConnType = qint16(ConnectionKind::Gsm);

ConnectionKind connectionKind(const GeneralSettings& settings);
// Reached over a serial port.
bool isSerial(const GeneralSettings& settings);
// Reached over the LAN (TCP).
bool isLan(const GeneralSettings& settings);

inline constexpr int kHighestInterval = 255; // minutes, one byte on the way to the logger
inline constexpr quint16 kDefaultLoggerPort = 3101;

// An address as four octets, the first as written first ("192" of "192.168.1.20").
using Address = std::array<quint8, 4>;

// A counting window: start and stop as hours and minutes.
struct DayWindow {
    quint8 startHour = 0;
    quint8 startMinute = 0;
    quint8 stopHour = 0;
    quint8 stopMinute = 0;

    // Both times within 00:00..23:59.
    bool validTimes() const;
    friend bool operator==(const DayWindow&, const DayWindow&) = default;
};

// A value parsed from its text: the value, or why it cannot be sent (the reason names the
// field and its text as the upload reports it).
template <class T> struct Parsed {
    std::optional<T> value;
    QString problem;

    explicit operator bool() const { return value.has_value(); }
    const T& operator*() const { return *value; }
    const T* operator->() const { return &*value; }
};

// A counting window as the file holds it: eight digits hhmmhhmm ("07002200"). `named` is how
// the reason names the field ("Start/Stop Monday \"0700\"").
Parsed<DayWindow> parseDayWindow(const QString& text, const QString& named);

// The interval in minutes: a number 0..255, blanks around it allowed.
Parsed<quint8> parseInterval(const QString& text);

// The four octets of an address as the file keeps them, each a number 0..255 (blanks around
// it allowed). `field` names the address in the reason ("IP address").
Parsed<Address> parseAddress(const QStringList& octets, const QString& field);

// An address whose octets are all empty (or that has none): the location holds no address.
bool isEmptyAddress(const QStringList& octets);

// The logger's port: a number 0..65535, blanks around it allowed; an empty text is the
// default port 3101.
Parsed<quint16> parseLoggerPort(const QString& text);

// The logger's settings of a location, typed: what the upload sends.
struct LocationSettings {
    ConnectionKind kind = ConnectionKind::None;
    std::array<Parsed<DayWindow>, 7> days; // index 0 = Sunday
    Parsed<quint8> interval;
    // An address is left out (no value and no problem) when all its octets are empty.
    Parsed<Address> ipAddress;
    Parsed<Address> subnetMask;
    Parsed<Address> gateway;
    Parsed<quint16> port;

    // `dayNames` name the days in the reasons ("Sunday" .. ).
    static LocationSettings from(const GeneralSettings& settings,
                                 const std::array<QString, 7>& dayNames);
};

} // namespace nodalyx
