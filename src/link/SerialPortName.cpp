#include "SerialPortName.h"

#include "SerialPorts.h"

namespace nodalyx {

QString serialPortName(int number) {
    return SerialPorts::resolve(number).device;
}

QString serialOpenFailureText(const QString& device, QSerialPort::SerialPortError error,
                              const QString& platformText) {
    QString text = QStringLiteral("Cannot open serial port %1: %2").arg(device, platformText);
#ifndef Q_OS_WIN
    if (error == QSerialPort::PermissionError)
        text += QStringLiteral("\r\nThe user needs to be in the 'dialout' group to use it.");
#endif
    const QString more =
        SerialPorts::openFailureText(device, error == QSerialPort::DeviceNotFoundError);
    if (!more.isEmpty())
        text += QStringLiteral("\r\n") + more;
    return text;
}

} // namespace nodalyx
