#include "LinkError.h"

namespace nodalyx {

QString linkErrorName(LinkError error) {
    switch (error) {
    case LinkError::None:
        return QStringLiteral("none");
    case LinkError::Busy:
        return QStringLiteral("busy");
    case LinkError::Leased:
        return QStringLiteral("leased");
    case LinkError::NoEndpoint:
        return QStringLiteral("no endpoint");
    case LinkError::OpenFailed:
        return QStringLiteral("open failed");
    case LinkError::NotOpen:
        return QStringLiteral("not open");
    case LinkError::WriteFailed:
        return QStringLiteral("write failed");
    case LinkError::NoAnswer:
        return QStringLiteral("no answer");
    case LinkError::Lost:
        return QStringLiteral("connection lost");
    case LinkError::BadReply:
        return QStringLiteral("bad reply");
    }
    return {};
}

} // namespace nodalyx
