#pragma once

#include "LoggerCodes.h"

#include "CommandFrame.h"
#include "LocationSettings.h"
#include "LoggerClock.h"

#include <QByteArray>
#include <QString>
#include <array>

namespace nodalyx {

// The requests that write the logger's settings, built as values (the link sends them). The
// reading side has its decoders beside them; these are pure and check nothing: the values come
// typed from LocationSettings.

// The location texts the logger keeps, in ten characters each.
enum class LocationText : quint8 {
    Code = cmd::WriteCode,
    Name = cmd::WriteName,
    Place = cmd::WritePlace
};
// The logger's own network addresses.
enum class NetworkAddress : quint8 {
    Ip = cmd::SetIpAddress,
    SubnetMask = cmd::SetSubnetMask,
    Gateway = cmd::SetGateway
};

// The ten bytes a text travels in: the low byte of each character, zeros after the text (a
// longer text is cut to ten).
QByteArray textBuffer(const QString& text);

// A location text goes in three frames: characters 1..5 (the fifth first) as part 0, characters
// 6..10 (the tenth first) as part 1, then an empty part 2 that tells the logger the text is
// complete.
std::array<Command, 3> locationTextRequests(LocationText which, const QString& text);

// Extension k (0..3): its first six characters, the sixth first.
Command extensionRequest(int k, const QString& text);

// The counting window of day d (0 = Sunday .. 6): stop minute, stop hour, start minute, start
// hour, then the day 1..7.
Command startStopRequest(int d, const DayWindow& window);

// The interval in minutes.
Command setIntervalRequest(quint8 minutes);

// An address: the fourth octet first.
Command addressRequest(NetworkAddress which, const Address& address);

// The logger's port: high byte, then low byte.
Command portRequest(quint16 port);

// The logger's clock: hour, minute, year - 2000, month, day, weekday (1 = Sunday).
Command clockRequest(const LoggerClock& clock);

} // namespace nodalyx
