#pragma once

#include <QByteArray>
#include <QHash>
#include <QSet>

namespace nodalyx::sim {

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
    int chunkSize = 0;          // send replies in pieces of this many bytes (0 = whole)
    int chunkGapMs = 0;         // pause between pieces
    int baud = 0;               // pace output at this line rate, 10 bits a byte (0 = no pacing)
    int lateByteMs = 0;         // the last byte of every reply comes this much after the rest
    int strayBytes = 0;         // this many noise bytes (never FF) go out in front of every reply
    int floodBytes = 0;         // this many noise bytes follow every reply

    // The noise of strayBytes and floodBytes.
    static QByteArray noise(int count);

    // Applies the reply faults for a command code to the reply bytes.
    QByteArray apply(int code, QByteArray reply) const;
};

} // namespace nodalyx::sim
