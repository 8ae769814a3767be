#include "SimFaults.h"

namespace nodalyx::sim {

QByteArray SimFaults::apply(int code, QByteArray reply) const {
    if (nakCodes.contains(code))
        reply = QByteArray(1, char(21));
    if (corruptCodes.contains(code) && !reply.isEmpty())
        reply.back() = char(reply.back() ^ 0x5A);
    if (extraByteCodes.contains(code))
        reply.append('\0');
    if (dropByteCodes.contains(code))
        reply.chop(1);
    return reply;
}

} // namespace nodalyx::sim
