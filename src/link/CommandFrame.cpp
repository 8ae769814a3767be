#include "CommandFrame.h"

namespace nodalyx {

quint8 xorChecksum(const char* begin, const char* end) {
    quint8 cs = 0;
    for (const char* p = begin; p != end; ++p)
        cs ^= quint8(*p);
    return cs ^ kChecksumSeed;
}

QByteArray CommandFrame(quint8 b1, quint8 b2, quint8 b3, quint8 b4, quint8 b5, quint8 b6, quint8 b7,
                        quint8 b8) {
    QByteArray frame;
    frame.reserve(kFrameSize);
    for (quint8 b : {kSync, kSync, b1, b2, b3, b4, b5, b6, b7, b8})
        frame.append(char(b));
    // The second sync byte is part of the checksum, the first is not.
    frame.append(char(xorChecksum(frame.constData() + 1, frame.constData() + frame.size())));
    return frame;
}

QByteArray CommandFrame(const Command& command) {
    const auto& b = command.bytes;
    return CommandFrame(b[0], b[1], b[2], b[3], b[4], b[5], b[6], b[7]);
}

bool CheckReply(const QByteArray& reply) {
    if (reply.isEmpty() || quint8(reply.at(0)) != kSync)
        return false;
    const quint8 cs =
        reply.size() < 2 ? xorChecksum(nullptr, nullptr)
                         : xorChecksum(reply.constData() + 1, reply.constData() + reply.size() - 1);
    return cs == quint8(reply.back());
}

QByteArray DataReply(quint8 second, const QByteArray& data) {
    QByteArray reply;
    reply.reserve(data.size() + 3);
    reply.append(char(kSync));
    reply.append(char(second));
    reply.append(data);
    reply.append(char(xorChecksum(reply.constData() + 1, reply.constData() + reply.size())));
    return reply;
}

} // namespace nodalyx
