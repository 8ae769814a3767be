#include "LinkEndpoint.h"
#include "LocationSettings.h"

#include "SerialPortName.h"
#include "ValueRules.h"

#include <QtMath>

namespace nodalyx {

QString LinkEndpoint::text() const {
    return isSerial() ? device : QStringLiteral("%1:%2").arg(host).arg(port);
}

std::optional<LinkEndpoint> endpointFor(const GeneralSettings& settings, QString* error) {
    LinkEndpoint e;
    if (isSerial(settings)) {
        const double comport = settings.Comport;
        if (!(comport >= 0.5 && comport < kHighestComport + 0.5)) { // also refuses NaN
            *error = QStringLiteral("The location names no serial port (Comport %1).")
                         .arg(QString::number(comport));
            return std::nullopt;
        }
        e.kind = LinkEndpoint::Kind::Serial;
        e.device = serialPortName(qRound(comport));
        return e;
    }
    // Port 0 cannot be connected to, and a number past 65535 must never wrap round to another
    // port (70000 would be 4464).
    bool ok = false;
    const int port = settings.Portnumber.trimmed().toInt(&ok);
    if (!ok || port < 1 || port > kHighestPort) {
        *error = QStringLiteral("The port number \"%1\" is not a number from 1 to %2.")
                     .arg(settings.Portnumber)
                     .arg(kHighestPort);
        return std::nullopt;
    }
    e.kind = LinkEndpoint::Kind::Tcp;
    e.host = settings.IPnumber.trimmed();
    e.port = quint16(port);
    return e;
}

} // namespace nodalyx
