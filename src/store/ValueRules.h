#pragma once

#include <QString>

namespace nodalyx {

// The plain forms that the windows, the upload and the link take for numbers, times and
// addresses. Each answers whether a text has that form; a text with blanks, a sign or a
// decimal part never has.

inline constexpr int kHighestOctet = 255;
inline constexpr int kHighestPort = 65535;
inline constexpr int kHighestComport = 255; // serial ports run from 1 to this

// A whole number of 1 to 5 digits from low to high.
bool isNumberIn(const QString& text, int low, int high);

// A whole number of 1 to 5 digits from 0 to highest.
bool isNumberUpTo(const QString& text, int highest);

// One octet of an address as its box holds it: 1 to 3 digits, 0..255.
bool isOctet(const QString& text);

// Four octets separated by dots ("192.168.1.20").
bool isIPv4Address(const QString& text);

// "HH:MM" within 00:00..23:59, both parts in two digits.
bool isTime(const QString& text);

} // namespace nodalyx
