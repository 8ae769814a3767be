#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <optional>

namespace nodalyx::sim {

// A fault of the file transfer, shown for packets of one code and number a number of times.
struct PacketFault {
    enum class Kind {
        Silent,   // the packet is lost: no reply
        Nak,      // the logger refuses it ("NAK")
        BadCrc,   // the reply's CRC is wrong
        Pieces,   // the reply comes in pieces of `value` bytes (default 4), 20 ms apart
        Late,     // the reply comes `value` ms late (default 1000)
        HangUp,   // the logger drops the connection instead of answering
        Empty,    // the reply's text 1 is empty (a block with no characters)
        Announce, // the file request's answer announces `value` characters in `blocks` blocks
    };
    int code = -1;      // 6, 11 or 13; -1 any
    qint64 number = -1; // -1 any
    Kind kind = Kind::Silent;
    int times = 1; // how many packets show it; 0 every one
    qint64 value = 0;
    qint64 blocks = -1; // Announce: the block count announced; -1 the true one
};

// "CODE:NUMBER:KIND[:TIMES[:VALUE[:BLOCKS]]]", CODE and NUMBER may be "*" (any); KIND is
// silent, nak, crc, pieces, late, hangup, empty or announce (VALUE the size, BLOCKS the block
// count, only there). Nullopt when the text is not one.
std::optional<PacketFault> parsePacketFault(const QString& text);

// Faults the simulator can be told to show, for tests and demonstrations.
struct SimFaults {
    int delayMs = 0;            // every reply starts this much later
    bool silent = false;        // take requests, answer nothing
    QSet<int> nakCodes{};       // answer these command codes with NAK
    QSet<int> corruptCodes{};   // replies to these codes carry a wrong checksum
    QSet<int> extraByteCodes{}; // replies to these codes get one byte more (00 at the end)
    QSet<int> dropByteCodes{};  // replies to these codes lose their last byte
    QSet<int> closeCodes{};     // close the TCP connection instead of answering these codes
    QHash<int, int> cutCodes{}; // replies to these codes keep only their first n bytes
    QSet<int> garbageCodes{};   // data replies to these codes carry kGarbage (checksum fits)
    int chunkSize = 0;          // send replies in pieces of this many bytes (0 = whole)
    int chunkGapMs = 0;         // pause between pieces
    int baud = 0;               // pace output at this line rate, 10 bits a byte (0 = no pacing)
    int lateByteMs = 0;         // the last byte of every reply comes this much after the rest
    int strayBytes = 0;         // this many noise bytes (never FF) go out in front of every reply
    int floodBytes = 0;         // this many noise bytes follow every reply

    QList<PacketFault> packetFaults{}; // faults of the file transfer, the first that fits applies

    // The packet fault for this packet, counted off; nullopt when none applies.
    std::optional<PacketFault> takePacketFault(int code, quint32 number);

    // What a garbage reply carries in place of its data, repeated as far as the data goes:
    // a terminal's escape sequence, bell, DEL, C1 controls, CR LF, backspace, FF, ACK, NAK,
    // a 0 byte and an e acute (printable).
    static const QByteArray kGarbage;

    // The noise of strayBytes and floodBytes.
    static QByteArray noise(int count);

    // Applies the reply faults for a command code to the reply bytes.
    QByteArray apply(int code, QByteArray reply) const;
};

} // namespace nodalyx::sim
