#include "PortSource.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QSerialPort>
#include <QSerialPortInfo>

namespace nodalyx {

namespace {

// device -> its /dev/serial/by-id link (Linux; none elsewhere).
QHash<QString, QString> byIdLinks() {
    QHash<QString, QString> links;
    const QDir dir(QStringLiteral("/dev/serial/by-id"));
    for (const QFileInfo& link :
         dir.entryInfoList(QDir::System | QDir::Files | QDir::NoDotAndDotDot))
        links.insert(link.canonicalFilePath(), link.absoluteFilePath());
    return links;
}

void tryOpen(PortInfo& port) {
    QSerialPort probe;
    probe.setPortName(port.device);
    if (probe.open(QIODevice::ReadWrite)) {
        probe.close();
        return;
    }
    port.available = false;
    switch (probe.error()) {
    case QSerialPort::PermissionError:
        port.unavailableWhy = QStringLiteral("in use or no permission");
        break;
    case QSerialPort::DeviceNotFoundError:
        port.unavailableWhy = QStringLiteral("gone");
        break;
    default:
        port.unavailableWhy = probe.errorString();
    }
}

} // namespace

QList<PortInfo> SystemPortSource::ports(bool tryOpening) const {
    const QHash<QString, QString> links = byIdLinks();
    QList<PortInfo> ports;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        PortInfo port;
        port.device = info.systemLocation();
#ifdef Q_OS_WIN
        port.device = info.portName(); // COM3, not \\.\COM3
#endif
        port.stableId = links.value(QFileInfo(port.device).canonicalFilePath());
        port.description = info.description();
        port.manufacturer = info.manufacturer();
        port.serialNumber = info.serialNumber();
        if (info.hasVendorIdentifier())
            port.vendorId = info.vendorIdentifier();
        if (info.hasProductIdentifier())
            port.productId = info.productIdentifier();
        if (tryOpening)
            tryOpen(port);
        ports << port;
    }
    return ports;
}

} // namespace nodalyx
