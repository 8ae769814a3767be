#include "SimFaults.h"

#include "FrameParser.h"
#include "LoggerCodes.h"

#include <QStringList>

namespace nodalyx::sim {

const QByteArray SimFaults::kGarbage =
    QByteArrayLiteral("\x1b[2J\x07\x7f\x9b\x81\r\n\b\xff\x06\x15\x8d\x01\xe9\x00");

QByteArray SimFaults::apply(int code, QByteArray reply) const {
    if (garbageCodes.contains(code) && reply.size() > 3 && quint8(reply.at(0)) == kSync) {
        for (qsizetype i = 2; i + 1 < reply.size(); ++i)
            reply[i] = kGarbage.at((i - 2) % kGarbage.size());
        reply.back() = char(FrameParser::checksum(reply));
    }
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

std::optional<PacketFault> parsePacketFault(const QString& text) {
    static const QStringList kKinds{"silent", "nak",    "crc",   "pieces",
                                    "late",   "hangup", "empty", "announce"};
    const QStringList parts = text.split(QLatin1Char(':'));
    const bool announce = parts.size() > 2 && parts[2] == QLatin1String("announce");
    if (parts.size() < 3 || parts.size() > (announce ? 6 : 5) || !kKinds.contains(parts[2]))
        return std::nullopt;
    PacketFault f;
    bool ok = true;
    auto field = [&ok](const QString& part, qint64 max) -> qint64 {
        if (part == QLatin1String("*"))
            return -1;
        bool fine = false;
        const qint64 v = part.toLongLong(&fine);
        ok = ok && fine && v >= 0 && v <= max;
        return v;
    };
    f.code = int(field(parts[0], 255));
    f.number = field(parts[1], 0xFFFFFFFFLL);
    f.kind = PacketFault::Kind(kKinds.indexOf(parts[2]));
    if (parts.size() > 3)
        f.times = int(field(parts[3], 1000000));
    // A time or a piece size up to ten minutes' worth; an announced size or count up to 2^32-1.
    const qint64 maxValue = announce ? 0xFFFFFFFFLL : 600000;
    if (parts.size() > 4)
        f.value = field(parts[4], maxValue);
    if (parts.size() > 5)
        f.blocks = field(parts[5], maxValue);
    if (!ok || f.times < 0 || f.value < 0)
        return std::nullopt;
    return f;
}

std::optional<PacketFault> SimFaults::takePacketFault(int code, quint32 number) {
    for (qsizetype i = 0; i < packetFaults.size(); ++i) {
        PacketFault& f = packetFaults[i];
        if ((f.code >= 0 && f.code != code) || (f.number >= 0 && f.number != qint64(number)))
            continue;
        const PacketFault taken = f;
        if (f.times > 0 && --f.times == 0)
            packetFaults.removeAt(i);
        return taken;
    }
    return std::nullopt;
}

QByteArray SimFaults::noise(int count) {
    QByteArray bytes(count, '\0');
    for (int i = 0; i < count; ++i)
        bytes[i] = char(0x20 + i % 0x5F); // printable, so never a sync, ACK or NAK byte
    return bytes;
}

} // namespace nodalyx::sim
