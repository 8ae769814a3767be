#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QtGlobal>

namespace nodalyx::sim {

// The logger's side of the file-transfer packet, written on its own from the documented
// layout (docs/TRANSFER.md) as an independent check of the tool's codec:
//   02 | code | number (4) | L1 (2) | text 1 | L2 (2) | text 2 | CRC-16/CCITT-FALSE (2)
struct SimPacket {
    static constexpr quint8 kStart = 0x02;
    static constexpr int kMaxText = 4096;
    static constexpr quint8 kBlockRequest = 6;
    static constexpr quint8 kFileRequest = 11; // also the code of the logger's answers
    static constexpr quint8 kUpload = 13;
    static constexpr quint8 kRefusal = 21; // a block the logger cannot give

    quint8 code = 0;
    quint32 number = 0;
    QByteArray text1;
    QByteArray text2;

    QByteArray encode() const;
    // The codes the logger takes: a 02 in front of anything else is noise.
    static bool knownCode(quint8 code);
    static quint16 crc(QByteArrayView bytes);

    // How many bytes from the front of bytes make a packet: 0 when more are needed, -1 when
    // the front is no packet start. A whole packet's CRC is not checked here.
    static qsizetype measure(QByteArrayView bytes);
    // A whole packet of measure() bytes; false when its CRC is wrong.
    static bool decode(QByteArrayView bytes, SimPacket& out);
};

} // namespace nodalyx::sim
