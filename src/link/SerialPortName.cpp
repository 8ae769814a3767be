#include "SerialPortName.h"

#include <QtGlobal>

namespace nodalyx {

QString serialPortName(int number) {
#ifdef Q_OS_WIN
    return QStringLiteral("COM%1").arg(number);
#else
    const QString override =
        qEnvironmentVariable(qPrintable(QStringLiteral("NODALYX_COM%1").arg(number)));
    if (!override.isEmpty())
        return override;
    return QStringLiteral("/dev/ttyS%1").arg(number - 1);
#endif
}

QString serialOpenFailureText(const QString& device, QSerialPort::SerialPortError error,
                              const QString& platformText) {
    QString text = QStringLiteral("Cannot open serial port %1: %2").arg(device, platformText);
#ifndef Q_OS_WIN
    if (error == QSerialPort::PermissionError)
        text += QStringLiteral("\r\nThe user needs to be in the 'dialout' group to use it.");
#endif
    if (error == QSerialPort::DeviceNotFoundError)
        text += QStringLiteral("\r\nThe device does not exist.");
    return text;
}

} // namespace nodalyx
