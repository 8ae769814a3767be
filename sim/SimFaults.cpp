#include "SimFaults.h"

#include "LoggerCodes.h"

namespace nodalyx::sim {

QByteArray SimFaults::apply(int code, QByteArray reply) const {
    if (nakCodes.contains(code))
        reply = QByteArray(1, kNak);
    if (corruptCodes.contains(code) && !reply.isEmpty())
        reply.back() = char(reply.back() ^ 0x5A);
    if (extraByteCodes.contains(code))
        reply.append('\0');
    if (dropByteCodes.contains(code))
        reply.chop(1);
    if (cutCodes.contains(code))
        reply.truncate(cutCodes.value(code));
    return reply;
}

QByteArray SimFaults::noise(int count) {
    QByteArray bytes(count, '\0');
    for (int i = 0; i < count; ++i)
        bytes[i] = char(0x20 + i % 0x5F); // printable, so never a sync, ACK or NAK byte
    return bytes;
}

} // namespace nodalyx::sim
