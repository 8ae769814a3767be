#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <map>
#include <optional>

namespace nodalyx {

// One serial port number of the location files tied to an adapter. The identity is what
// finds the adapter again when it comes back under another name: its /dev/serial/by-id path
// where the system gives one, else "usb:VVVV:PPPP:SERIAL" (USB vendor and product id in hex,
// the adapter's serial number), else the device path itself. The rest is how it looked when
// it was chosen, for messages when it is missing.
struct PortMapEntry {
    QString identity;
    QString device;
    QString description;
    QString serialNumber;
    friend bool operator==(const PortMapEntry&, const PortMapEntry&) = default;
};

// The port map, ports.ini in the program directory: the one setting the program keeps
// outside the location files (systems without COM numbers only).
//
//   [COM3]
//   Identity=/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A10K4XYZ-if00-port0
//   Device=/dev/ttyUSB0
//   Description=FT232R USB UART
//   SerialNumber=A10K4XYZ
//
// Windows-1252 text with CR LF, like every file there.
struct PortMap {
    std::map<int, PortMapEntry> entries; // by port number 1..255
    friend bool operator==(const PortMap&, const PortMap&) = default;
};

inline const QString kPortMapFileName = QStringLiteral("ports.ini");

QByteArray encodePortMap(const PortMap& map);

// Reads what it can: a section with a number outside 1..255 or without an identity, and a
// line outside a section, are left out with a reason ("line 4: ...") in skipped.
struct PortMapRead {
    PortMap map;
    QStringList skipped;
};
PortMapRead decodePortMap(const QByteArray& bytes);

// The map of a program directory; an empty one when there is no file yet. Empty when it
// worked, else the message for the operator (the file cannot be read).
QString loadPortMap(const QString& programDir, PortMap& map);
// Replaces ports.ini whole (the previous one kept as ports.bak). Empty, or the message.
QString savePortMap(const QString& programDir, const PortMap& map);

} // namespace nodalyx
