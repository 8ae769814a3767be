#pragma once

#include "GeneralSettings.h"

#include <QString>
#include <optional>

namespace nodalyx {

// Where the link connects: a serial device at a line speed, or a TCP host and port. Taken from
// a location's settings when the link opens, so that changing the location afterwards never
// sends requests to the previous location's logger.
struct LinkEndpoint {
    enum class Kind { Serial, Tcp };
    Kind kind = Kind::Serial;
    QString device; // serial
    int baud = 19200;
    QString host; // TCP
    quint16 port = 0;

    bool isSerial() const { return kind == Kind::Serial; }
    // "/dev/ttyUSB0" or "192.168.1.20:3101", for messages.
    QString text() const;

    friend bool operator==(const LinkEndpoint&, const LinkEndpoint&) = default;
};

// The endpoint of a location: ConnType 1 is the serial port Comport (rounded to the nearest
// port number, 19200 baud), every other type TCP to IPnumber:Portnumber. Empty, with *error
// set to what to tell the operator, when the settings name no usable endpoint.
std::optional<LinkEndpoint> endpointFor(const GeneralSettings& settings, QString* error);

} // namespace nodalyx
