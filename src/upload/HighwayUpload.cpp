#include "HighwayUpload.h"

#include "TextFile.h"

#include <QCoreApplication>

namespace nodalyx {

namespace {
constexpr quint8 kUploadCode = 13;
constexpr int kHeaderRetries = 2; // name and size packet: three failed sends between them
constexpr int kBlockRetries = 5;  // six sends of one block
} // namespace

qint32 HighwayUpload::ReadFile(const QString& Filename, bool* ok) {
    if (ok)
        *ok = !Filename.isEmpty();
    if (Filename.isEmpty())
        return 0;
    QByteArray bytes;
    const QString error = readTextFile(Filename, bytes);
    if (!error.isEmpty()) {
        m_ctx.op.message(error, Operator::Icon::Critical);
        if (ok)
            *ok = false;
        return 0;
    }
    const QByteArray text = uploadText(bytes);
    m_blocks = splitUploadText(text);
    return qint32(text.size());
}

bool HighwayUpload::WaitForACK(qint32& Pnr) {
    quint8 code = 0;
    QByteArray reply, second;
    m_ctx.transfer.ReceiveReply(code, Pnr, reply, second);
    return reply.contains("ACK");
}

bool HighwayUpload::open() {
    FileTransferLink& t = m_ctx.transfer;
    const GeneralSettings& s = m_ctx.state.settings;
    if (m_ctx.serial()) {
        t.Configure(5, 5, 1);
        return t.OpenSerial(s.Comport, QStringLiteral("19200,N,8,1"), 0) == transfer::Ok;
    }
    t.Configure(2, 2, 1);
    return t.OpenTcp(s.IPnumber, s.Portnumber, 15, 0, 5) == transfer::Ok;
}

void HighwayUpload::close() {
    if (m_ctx.serial())
        m_ctx.transfer.CloseSerial();
    else
        m_ctx.transfer.CloseTcp();
}

bool HighwayUpload::UploadHW(const QString& Filename) {
    const QString source =
        QStringLiteral("%1/%2/%3").arg(m_ctx.state.programDir, m_ctx.location, Filename);
    m_ctx.link.CloseLink();
    m_highway = source.contains(QLatin1String("HW01")) ? 1 : 2;
    // Read before anything is opened: a file that cannot be read sends nothing, never the
    // blocks of the file read before.
    bool readOk = false;
    const qint32 size = ReadFile(source, &readOk);
    if (!readOk)
        return false;
    bool result = false;
    if (open()) {
        show(Filename, 0);
        result = sendHeader(Filename, size) && sendBlocks(Filename);
    }
    close();
    return result;
}

bool HighwayUpload::sendHeader(const QString& Filename, qint32 size) {
    FileTransferLink& t = m_ctx.transfer;
    const QByteArray texts[2][2] = {
        {QByteArrayLiteral("c:\\nvq\\") + Filename.toLatin1(), {}},
        {QByteArray::number(size), QByteArray::number(m_blocks.lastBlock)}};
    const char* const failures[2] = {"Error in send filename to Datalogger!",
                                     "Error in send packed size to Datalogger!"};
    int r = 0; // shared by both packets
    for (qint32 packet = 0; packet < 2; ++packet) {
        for (;;) {
            if (stoppedByCancel(Filename, packet))
                return false;
            t.SendPacket(kUploadCode, packet, texts[packet][0], texts[packet][1]);
            qint32 pnr = 0;
            if (WaitForACK(pnr))
                break;
            if (r >= kHeaderRetries) {
                m_ctx.op.message(QString::fromLatin1(failures[packet]), Operator::Icon::Critical);
                return false;
            }
            ++r;
        }
    }
    return true;
}

bool HighwayUpload::sendBlocks(const QString& Filename) {
    FileTransferLink& t = m_ctx.transfer;
    m_timeLeft.start();
    int r = 0;
    qint32 n = 2;
    while (n <= m_blocks.lastBlock) {
        show(Filename, n);
        if (stoppedByCancel(Filename, n))
            return false;
        t.SendPacket(kUploadCode, n, m_blocks.blocks.value(n), {});
        if (WaitForACK(n)) {
            r = 0;
            ++n;
            QCoreApplication::processEvents();
            continue;
        }
        if (r >= kBlockRetries) {
            m_ctx.op.message(QStringLiteral("Error in send file to Datalogger!"),
                             Operator::Icon::Critical);
            return false;
        }
        ++r;
        if (!t.cancelRequested())
            m_ctx.op.beep();
        QCoreApplication::processEvents();
    }
    show(Filename, m_blocks.lastBlock, true);
    return true;
}

bool HighwayUpload::stoppedByCancel(const QString& Filename, qint32 packet) {
    if (!m_ctx.transfer.cancelRequested())
        return false;
    m_ctx.op.message(QStringLiteral("The upload of %1 was cancelled before packet %2 of %3; the "
                                    "logger has not stored it.")
                         .arg(Filename)
                         .arg(packet)
                         .arg(m_blocks.lastBlock),
                     Operator::Icon::Information);
    return true;
}

void HighwayUpload::show(const QString& Filename, int value, bool finished) {
    TransferProgress p;
    p.file = Filename;
    p.highway = m_highway;
    p.value = value;
    p.maximum = m_blocks.lastBlock + 1;
    p.blocksDone = finished ? p.maximum : value;
    p.blocksTotal = p.maximum;
    p.secondsLeft = m_timeLeft.seconds(value - 2, m_blocks.lastBlock - 1);
    p.finished = finished;
    m_ctx.report(p);
}

} // namespace nodalyx
