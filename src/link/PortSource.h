#pragma once

#include <QList>
#include <QString>
#include <optional>

namespace nodalyx {

// A serial port the system has now, as discovery sees it.
struct PortInfo {
    QString device;      // what opens it: "/dev/ttyUSB0", "COM3"
    QString stableId;    // /dev/serial/by-id/... pointing at it, where there is one
    QString description; // "FT232R USB UART"
    QString manufacturer;
    QString serialNumber; // the adapter's own, not the logger's
    std::optional<quint16> vendorId, productId;
    bool available = true;  // can be opened now
    QString unavailableWhy; // "in use", "no permission"
};

// Where the ports come from: the system (SystemPortSource), or a script in the tests.
class PortSource {
public:
    virtual ~PortSource() = default;
    // With tryOpening, whether each port can be opened now is found out (available).
    virtual QList<PortInfo> ports(bool tryOpening) const = 0;
};

// The system's ports through QSerialPortInfo; whether each can be opened now is tried (an
// open and close at once, which tells "in use" and "no permission" apart from a free port).
class SystemPortSource : public PortSource {
public:
    QList<PortInfo> ports(bool tryOpening) const override;
};

} // namespace nodalyx
