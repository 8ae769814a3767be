#include "TransferPacket.h"

namespace nodalyx {

namespace {

void appendNumber(QByteArray& out, quint32 value, int bytes) {
    for (int shift = 8 * (bytes - 1); shift >= 0; shift -= 8)
        out.append(char((value >> shift) & 0xFF));
}

quint32 readNumber(QByteArrayView bytes, qsizetype at, int size) {
    quint32 value = 0;
    for (int i = 0; i < size; ++i)
        value = (value << 8) | quint8(bytes[at + i]);
    return value;
}

} // namespace

quint16 crc16CcittFalse(QByteArrayView bytes) {
    quint16 crc = 0xFFFF;
    for (char c : bytes) {
        crc ^= quint16(quint8(c) << 8);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 0x8000) ? quint16((crc << 1) ^ 0x1021) : quint16(crc << 1);
    }
    return crc;
}

QByteArray encodePacket(const TransferPacket& packet) {
    if (packet.text1.size() > kMaxPacketText || packet.text2.size() > kMaxPacketText)
        return {};
    QByteArray out;
    out.reserve(kPacketOverhead + packet.text1.size() + packet.text2.size());
    out.append(char(kPacketStart));
    out.append(char(packet.code));
    appendNumber(out, packet.number, 4);
    appendNumber(out, quint32(packet.text1.size()), 2);
    out.append(packet.text1);
    appendNumber(out, quint32(packet.text2.size()), 2);
    out.append(packet.text2);
    appendNumber(out, crc16CcittFalse(QByteArrayView(out).sliced(1)), 2);
    return out;
}

PacketScan scanPacket(QByteArrayView bytes) {
    PacketScan scan;
    if (bytes.isEmpty() || quint8(bytes[0]) != kPacketStart)
        return scan;
    scan.kind = PacketScan::Kind::Incomplete;
    if (bytes.size() < 8)
        return scan;
    const qsizetype l1 = readNumber(bytes, 6, 2);
    if (l1 > kMaxPacketText)
        return {};
    if (bytes.size() < 10 + l1)
        return scan;
    const qsizetype l2 = readNumber(bytes, 8 + l1, 2);
    if (l2 > kMaxPacketText)
        return {};
    const qsizetype size = kPacketOverhead + l1 + l2;
    if (bytes.size() < size)
        return scan;
    scan.size = size;
    scan.packet.code = quint8(bytes[1]);
    scan.packet.number = readNumber(bytes, 2, 4);
    scan.packet.text1 = bytes.sliced(8, l1).toByteArray();
    scan.packet.text2 = bytes.sliced(10 + l1, l2).toByteArray();
    const quint16 crc = quint16(readNumber(bytes, size - 2, 2));
    scan.kind = crc == crc16CcittFalse(bytes.sliced(1, size - 3)) ? PacketScan::Kind::Packet
                                                                  : PacketScan::Kind::BadCrc;
    return scan;
}

} // namespace nodalyx
