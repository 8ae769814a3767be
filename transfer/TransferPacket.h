#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QtGlobal>

namespace nodalyx {

// The file-transfer packet, the same layout both ways (numbers big-endian):
//   02 | code | number (4) | L1 (2) | text 1 | L2 (2) | text 2 | CRC (2)
// The CRC is CRC-16/CCITT-FALSE over everything from the code to the end of text 2. A command
// frame starts with FF, so the logger tells the two apart by the first byte.
inline constexpr quint8 kPacketStart = 0x02;
inline constexpr int kMaxPacketText = 4096;
inline constexpr int kPacketOverhead = 12; // start, code, number, two lengths, CRC
inline constexpr int kMaxPacketSize = kPacketOverhead + 2 * kMaxPacketText;

struct TransferPacket {
    quint8 code = 0;
    quint32 number = 0;
    QByteArray text1; // one byte per character
    QByteArray text2;

    friend bool operator==(const TransferPacket&, const TransferPacket&) = default;
};

// CRC-16/CCITT-FALSE: polynomial 0x1021, initial 0xFFFF, not reflected, no final XOR.
quint16 crc16CcittFalse(QByteArrayView bytes);

// The packet's bytes; empty when a text is longer than kMaxPacketText.
QByteArray encodePacket(const TransferPacket& packet);

// What the bytes at the front of a buffer are.
struct PacketScan {
    enum class Kind {
        NotAPacket, // no start byte, or a length above kMaxPacketText
        Incomplete, // could be a packet; more bytes are needed
        BadCrc,     // a whole packet whose CRC is wrong (size and packet as read)
        Packet,     // a whole, valid packet
    };
    Kind kind = Kind::NotAPacket;
    qsizetype size = 0; // bytes the packet takes (BadCrc, Packet)
    TransferPacket packet;
};
PacketScan scanPacket(QByteArrayView bytes);

} // namespace nodalyx
