#pragma once

#include "TransferContext.h"
#include "UploadBlocks.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace nodalyx {

// The upload of one highway file to the logger, with the state the upload window keeps
// between runs: the blocks of the file last read.
class HighwayUpload {
public:
    explicit HighwayUpload(TransferContext& ctx) : m_ctx(ctx) {}

    // Sends "<location>/<Filename>" ("HW01.ini" or "HW02.ini") as "c:\nvq\<Filename>": the
    // name packet and the size packet (three sends between them), then every block (six sends
    // each at most, a beep before each repeat). True when the logger acknowledged the last
    // block. False, with nothing sent, when the file cannot be read (reported, naming it) or
    // the transfer cannot be opened (silent, the reason in the transfer's lastFailure()); False
    // with a message when a packet was given up or the operator cancelled. The transfer is
    // closed again on every path.
    bool UploadHW(const QString& Filename);

    // Reads the file at the full path into FileBlocks and LastBlock and answers the length of
    // its text. A file that cannot be read is reported, leaves both as they were and answers
    // 0 with *ok false; an empty path answers 0 and changes nothing.
    qint32 ReadFile(const QString& Filename, bool* ok = nullptr);

    // True when the logger acknowledged the last packet sent (its reply holds "ACK").
    bool WaitForACK(qint32& Pnr);

    const QList<QByteArray>& FileBlocks() const { return m_blocks.blocks; }
    qint16 LastBlock() const { return m_blocks.lastBlock; }

private:
    bool open();
    void close();
    bool sendHeader(const QString& Filename, qint32 size);
    bool sendBlocks(const QString& Filename);
    bool stoppedByCancel(const QString& Filename, qint32 packet);
    void show(const QString& Filename, int value, bool finished = false);

    TransferContext& m_ctx;
    UploadBlocks m_blocks;
    int m_highway = 1;
    TimeLeft m_timeLeft;
};

} // namespace nodalyx
