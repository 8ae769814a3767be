#include "TransferStatus.h"

namespace nodalyx {

QString transferStatusText(qint16 status) {
    switch (status) {
    case transfer::Ok:
        return QStringLiteral("done");
    case transfer::NotOpen:
        return QStringLiteral("the transfer is not open");
    case transfer::OpenFailed:
        return QStringLiteral("the port or connection could not be opened");
    case transfer::PortInUse:
        return QStringLiteral("the port is in use");
    case transfer::BadArgument:
        return QStringLiteral("a value the transfer cannot take");
    case transfer::SendFailed:
        return QStringLiteral("the packet could not be sent");
    case transfer::NoReply:
        return QStringLiteral("no reply within the reply time");
    case transfer::BadReply:
        return QStringLiteral("the reply was not a valid packet");
    case transfer::ConnectionLost:
        return QStringLiteral("connection lost");
    case transfer::Busy:
        return QStringLiteral("the transfer is busy with another call");
    case transfer::Cancelled:
        return QStringLiteral("cancelled");
    default:
        return QStringLiteral("status %1").arg(status);
    }
}

} // namespace nodalyx
