#include "SimPacket.h"

namespace nodalyx::sim {

namespace {
quint32 bigEndian(QByteArrayView b, qsizetype at, int size) {
    quint32 v = 0;
    for (int i = 0; i < size; ++i)
        v = v << 8 | quint8(b[at + i]);
    return v;
}

void put(QByteArray& out, quint32 v, int size) {
    for (int i = size - 1; i >= 0; --i)
        out.append(char(v >> (8 * i)));
}
} // namespace

quint16 SimPacket::crc(QByteArrayView bytes) {
    quint16 c = 0xFFFF;
    for (char byte : bytes) {
        c ^= quint16(quint8(byte)) << 8;
        for (int i = 0; i < 8; ++i)
            c = quint16(c & 0x8000 ? (c << 1) ^ 0x1021 : c << 1);
    }
    return c;
}

QByteArray SimPacket::encode() const {
    QByteArray out(1, char(kStart));
    out.append(char(code));
    put(out, number, 4);
    put(out, quint32(text1.size()), 2);
    out.append(text1);
    put(out, quint32(text2.size()), 2);
    out.append(text2);
    put(out, crc(QByteArrayView(out).sliced(1)), 2);
    return out;
}

bool SimPacket::knownCode(quint8 code) {
    return code == kBlockRequest || code == kFileRequest || code == kUpload;
}

qsizetype SimPacket::measure(QByteArrayView b) {
    if (b.isEmpty() || quint8(b[0]) != kStart)
        return -1;
    if (b.size() >= 2 && !knownCode(quint8(b[1])))
        return -1;
    if (b.size() < 8)
        return 0;
    const qsizetype l1 = bigEndian(b, 6, 2);
    if (l1 > kMaxText)
        return -1;
    if (b.size() < 10 + l1)
        return 0;
    const qsizetype l2 = bigEndian(b, 8 + l1, 2);
    if (l2 > kMaxText)
        return -1;
    const qsizetype size = 12 + l1 + l2;
    return b.size() < size ? 0 : size;
}

bool SimPacket::decode(QByteArrayView b, SimPacket& out) {
    const qsizetype l1 = bigEndian(b, 6, 2);
    const qsizetype l2 = bigEndian(b, 8 + l1, 2);
    const qsizetype end = 10 + l1 + l2;
    if (bigEndian(b, end, 2) != crc(b.sliced(1, end - 1)))
        return false;
    out.code = quint8(b[1]);
    out.number = bigEndian(b, 2, 4);
    out.text1 = b.sliced(8, l1).toByteArray();
    out.text2 = b.sliced(10 + l1, l2).toByteArray();
    return true;
}

} // namespace nodalyx::sim
