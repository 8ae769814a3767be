// The file-transfer packet decoder and the reader that finds a reply among the pieces that
// arrive, on any bytes: no crash, bounded memory, a packet taken is one that encodes back to
// the bytes it came from, and nothing with a wrong CRC is ever taken as a reply.
#include "FuzzCheck.h"
#include "PacketReader.h"
#include "TransferPacket.h"

#include <cstdint>

using namespace nodalyx;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2)
        return 0;
    const int pieceSize = data[0] % 32 + 1;
    const quint32 wanted = data[1] % 4;
    const QByteArray bytes(reinterpret_cast<const char*>(data + 2), qsizetype(size - 2));

    const PacketScan scan = scanPacket(bytes);
    if (scan.kind == PacketScan::Kind::Packet) {
        FUZZ_CHECK(scan.size <= bytes.size() && scan.size <= kMaxPacketSize);
        FUZZ_CHECK(encodePacket(scan.packet) == bytes.left(scan.size));
    }

    PacketReader reader;
    for (qsizetype at = 0; at < bytes.size(); at += pieceSize) {
        reader.feed(bytes.mid(at, pieceSize));
        FUZZ_CHECK(reader.size() <= 2 * kMaxPacketSize);
        const PacketReader::Result result = reader.take(wanted);
        if (result.outcome == PacketReader::Result::Outcome::Reply) {
            FUZZ_CHECK(result.packet.number == wanted);
            const QByteArray again = encodePacket(result.packet);
            FUZZ_CHECK(!again.isEmpty() && scanPacket(again).kind == PacketScan::Kind::Packet);
        }
        if (data[0] & 0x80)
            reader.keepWholePackets();
    }
    (void)reader.takeSeen();
    return 0;
}
