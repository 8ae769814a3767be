#pragma once

#include "LoggerFiles.h"
#include "SimPacket.h"

#include <QMap>
#include <optional>

namespace nodalyx::sim {

// The logger's answers to file-transfer packets.
//
// Download: the file request (code 11, number 0, text 1 the remote name) gets code 11,
// number 0, the announced size in text 1 and the block count in text 2, as decimal digits, or
// text 1 "NAK" for a file the logger does not have. The logger sends its text followed by
// CR LF, and the size counts those two characters. A block request (code 6, number i) gets
// code 11, number i and block i in text 1; a number outside 1..N gets code 21, text 1 "NAK".
//
// Upload (code 13): number 0 the remote name, 1 the size and the last block number, 2..last
// the blocks; each answered with code 13, the same number and "ACK" or "NAK". A repeated
// packet is acknowledged again and stored once; after the last block the file is stored whole,
// and only when the received length equals the announced size.
class FileResponder {
public:
    struct Answer {
        SimPacket reply;
        QString stored; // the file name stored by this packet
    };

    explicit FileResponder(LoggerFiles& files) : m_files(files) {}
    void setBlockSize(int size) { m_blockSize = std::clamp(size, 1, SimPacket::kMaxText); }
    int blockSize() const { return m_blockSize; }

    Answer respond(const SimPacket& request);
    // The logger's refusal of a request (the NAK fault, a packet it cannot take).
    static SimPacket refusal(const SimPacket& request);

private:
    SimPacket fileRequest(const SimPacket& request);
    SimPacket blockRequest(const SimPacket& request) const;
    Answer upload(const SimPacket& request);
    bool takeSize(const SimPacket& request);
    bool storeIfComplete(Answer& answer);

    struct Upload {
        QByteArray name;
        std::optional<qint64> size;
        quint32 last = 0;
        QMap<quint32, QByteArray> blocks;
        bool stored = false;
    };

    LoggerFiles& m_files;
    int m_blockSize = 1024;
    QByteArray m_sending; // the text of the file last requested, CR LF behind it
    bool m_haveFile = false;
    std::optional<Upload> m_upload;
};

} // namespace nodalyx::sim
