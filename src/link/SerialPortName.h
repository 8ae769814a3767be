#pragma once

#include <QSerialPort>
#include <QString>

namespace nodalyx {

// The device of serial port number n: "COM<n>" on Windows; elsewhere the device named by the
// environment variable NODALYX_COM<n> (a USB adapter, a pseudo-terminal), else the adapter
// the port map ties to n, else /dev/ttyS<n-1> (see SerialPorts).
QString serialPortName(int number);

// What to tell the operator when the port could not be opened.
QString serialOpenFailureText(const QString& device, QSerialPort::SerialPortError error,
                              const QString& platformText);

} // namespace nodalyx
