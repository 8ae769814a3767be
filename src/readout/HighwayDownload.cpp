#include "HighwayDownload.h"

#include "DownloadSave.h"
#include "GeneralReadout.h"
#include "HighwayFileCodec.h"
#include "PrintableText.h"
#include "TextFile.h"
#include "TransferPacket.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace nodalyx {

namespace {
constexpr quint8 kFileRequest = 11;
constexpr quint8 kBlockRequest = 6;
constexpr quint8 kBlockReply = 11;
constexpr qint16 kHeaderRetries = 2; // three attempts
constexpr qint16 kBlockRetries = 5;  // six requests of one block in a row
constexpr int kHeaderBarMaximum = 250;
constexpr double kReplySeconds = 2.0;
// The logger sends its text with CR LF behind it, and the size it announces counts those two
// characters: a text that can make a highway file the tool reads back (kMaxTextFileSize once
// every LF is CR LF) is announced with at most this many. Collecting stops once the announced
// size has come, so the text in memory stays near it as well.
constexpr qint64 kMaxAnnouncedSize = kMaxTextFileSize + 2;

// A decimal count from the logger ("1234", blanks around allowed), at most ten digits.
bool parseCount(const QByteArray& text, qint64& out) {
    const QByteArray t = text.trimmed();
    if (t.isEmpty() || t.size() > 10)
        return false;
    for (char c : t) {
        if (c < '0' || c > '9')
            return false;
    }
    out = t.toLongLong();
    return true;
}

// The logger's text in a message, shown printable and cut after 20 bytes, so nothing the
// logger sends reaches a terminal raw.
QString shownText(const QByteArray& text) {
    const QString shown = printableText(QString::fromLatin1(text.left(20)));
    return text.size() > 20 ? shown + QStringLiteral("...") : shown;
}

class FileDownload {
public:
    FileDownload(TransferContext& ctx, const QString& name, const Cancellation* cancel)
        : m_ctx(ctx), m_name(name), m_cancel(cancel), m_busy(ctx.op) {}
    DownloadResult run();

private:
    enum class Next { Header, Blocks, Save, Close };

    Next open();
    bool cancelRequested() const {
        return m_ctx.transfer.cancelRequested() || (m_cancel && m_cancel->requested());
    }
    Next header();
    QString headerNumbers();
    Next blocks();
    QString emptyBlockText(qint32 block) const;
    Next badBlock();
    void save();
    void close();
    Next cancelled();
    Next runtimeError(const QString& text);
    void show(int value, int maximum, int done, bool finished = false);
    qint16 receive() {
        return m_ctx.transfer.ReceiveReply(m_rxCode, m_rxPacket, m_rxData, m_rxCount);
    }

    TransferContext& m_ctx;
    QString m_name;
    const Cancellation* m_cancel;
    BusyGuard m_busy;
    TimeLeft m_timeLeft;
    quint8 m_rxCode = 0;
    qint32 m_rxPacket = 0; // filled, not used
    QByteArray m_rxData;
    QByteArray m_rxCount;
    qint32 m_expectedSize = 0;
    qint32 m_blocks = 0;
    QByteArray m_text;
    qint16 m_retry = 0; // shared by the header and the block phase
    DownloadResult m_out;
};

DownloadResult FileDownload::run() {
    QCoreApplication::processEvents();
    if (m_cancel && m_cancel->requested()) {
        cancelled();
        return m_out; // nothing opened, nothing asked
    }
    m_ctx.link.CloseLink();
    Next next = open();
    if (next == Next::Header)
        next = header();
    if (next == Next::Blocks)
        next = blocks();
    if (next == Next::Save)
        save();
    close(); // on every path, so the link gets its device back
    return m_out;
}

FileDownload::Next FileDownload::open() {
    FileTransferLink& t = m_ctx.transfer;
    const GeneralSettings& s = m_ctx.state.settings;
    qint16 status = transfer::Ok;
    if (m_ctx.serial()) {
        t.Configure(5, 5, 1);
        status = t.OpenSerial(s.Comport, QStringLiteral("19200,N,8,1"), 0);
    } else {
        t.Configure(2, 2, 1);
        status = t.OpenTcp(s.IPnumber, s.Portnumber, 15.0, 0, 5.0);
    }
    if (status == transfer::Cancelled || cancelRequested())
        return cancelled();
    if (status == transfer::Ok)
        return Next::Header;
    // Nothing ever connected: say once where and why, not that a connection broke.
    m_out.result = false;
    m_out.unreachable = true;
    m_busy.release();
    m_ctx.op.message(dataLoggerFailedText(t.lastFailure()), Operator::Icon::Critical);
    return Next::Close;
}

FileDownload::Next FileDownload::header() {
    const QByteArray remote = QByteArrayLiteral("C:\\nvq\\") + m_name.toLatin1();
    for (;;) {
        if (cancelRequested())
            return cancelled();
        if (!GetConn(m_ctx))
            return Next::Close;
        show(0, kHeaderBarMaximum, 0);
        const qint16 sent = m_ctx.transfer.SendPacket(kFileRequest, 0, remote, {});
        m_ctx.transfer.ReplyDelay(kReplySeconds);
        if (sent != transfer::Ok) // nothing collected: nothing is saved
            return runtimeError(QStringLiteral("The request for %1 could not be sent: %2.")
                                    .arg(m_name, transferStatusText(sent)));
        m_rxCode = 10;
        const qint16 status = receive();
        QCoreApplication::processEvents();
        if (cancelRequested())
            return cancelled();
        const bool refused = m_rxData.contains("NAK");
        if (status == transfer::Ok && !refused) {
            const QString error = headerNumbers();
            return error.isEmpty() ? Next::Blocks : runtimeError(error);
        }
        if (m_retry < kHeaderRetries) {
            ++m_retry;
            continue;
        }
        m_out.result = false;
        m_busy.release();
        m_ctx.op.message(refused ? QStringLiteral("NACK received from datalogger!")
                                 : QStringLiteral("No response from data logger!"),
                         Operator::Icon::Critical);
        return Next::Close;
    }
}

// The announced size and block count, or why they cannot make a file: a size the tool could
// not read back, nothing at all, or a block count the size cannot fill (every block carries
// 1 to kMaxPacketText characters), which would cost a request per block for nothing.
QString FileDownload::headerNumbers() {
    qint64 size = 0, blocks = 0;
    if (!parseCount(m_rxData, size))
        return QStringLiteral("The logger announced the size \"%1\" for %2; that is not a "
                              "number of characters.")
            .arg(shownText(m_rxData), m_name);
    if (size > kMaxAnnouncedSize)
        return QStringLiteral("The logger announced %1 as %2 bytes; a highway file may hold "
                              "at most %3 bytes.")
            .arg(m_name)
            .arg(size)
            .arg(kMaxTextFileSize);
    if (size == 0)
        return QStringLiteral("The logger announced %1 as empty (0 characters); nothing was "
                              "written.")
            .arg(m_name);
    const qint64 fewest = (size + kMaxPacketText - 1) / kMaxPacketText;
    if (!parseCount(m_rxCount, blocks) || blocks < fewest || blocks > size)
        return QStringLiteral("The logger announced \"%1\" blocks for %2 (%3 characters); "
                              "that is not a block count from %4 to %3.")
            .arg(shownText(m_rxCount), m_name)
            .arg(size)
            .arg(fewest);
    m_expectedSize = qint32(size);
    m_blocks = qint32(blocks);
    return {};
}

FileDownload::Next FileDownload::blocks() {
    m_busy.release();
    m_timeLeft.start();
    for (qint32 i = 1; i <= m_blocks; ++i) {
        show(i, m_blocks, i - 1);
        QCoreApplication::processEvents();
        if (cancelRequested())
            return cancelled();
        if (m_ctx.transfer.SendPacket(kBlockRequest, i, {}, {}) != transfer::Ok)
            continue; // not asked again: the size check tells
        m_rxCode = 0;
        const qint16 status = receive();
        if (cancelRequested())
            return cancelled(); // the block that was under way is dropped with the rest
        if (m_rxCode == kBlockReply && status == transfer::Ok) {
            if (m_rxData.isEmpty())
                return runtimeError(emptyBlockText(i));
            m_text += m_rxData;
            m_retry = 0;
            if (m_text.size() > m_expectedSize)
                return Next::Save; // more than announced: the size check reports it
            if (m_text.size() == m_expectedSize)
                break; // whole: blocks announced beyond it are not asked for
            continue;
        }
        if (m_retry >= kBlockRetries)
            return badBlock();
        if (!GetConn(m_ctx))
            return Next::Close;
        m_ctx.op.beep();
        ++m_retry;
        --i; // the same block again
    }
    show(m_blocks, m_blocks, m_blocks, true);
    return Next::Save;
}

// A block with no characters before the announced size has come: the logger would never
// finish, so the download ends at once.
QString FileDownload::emptyBlockText(qint32 block) const {
    return QStringLiteral("File not complete: block %1 of %2 of %3 came back empty after %4 of "
                          "%5 characters.")
        .arg(block)
        .arg(m_blocks)
        .arg(m_name)
        .arg(m_text.size())
        .arg(m_expectedSize);
}

FileDownload::Next FileDownload::badBlock() {
    if (GetConn(m_ctx)) {
        m_out.result = false;
        m_ctx.op.message(QStringLiteral("Data logger not responding!"), Operator::Icon::Critical);
    }
    return Next::Close;
}

void FileDownload::save() {
    if (m_text.size() < 2) { // not even the CR LF behind the text came
        m_busy.release();
        m_ctx.op.message(QStringLiteral("File not complete (Size = 0)"), Operator::Icon::Critical);
        return;
    }
    m_text.chop(2); // the CR LF the logger sends behind its text
    const QString path =
        QStringLiteral("%1/%2/%3").arg(m_ctx.state.programDir, m_ctx.location, m_name);
    m_busy.release();
    bool backupKept = false;
    const SaveOutcome outcome =
        saveDownloadedFile(path, m_text, m_expectedSize, m_ctx.op, &backupKept);
    if (outcome == SaveOutcome::Failed)
        m_ctx.op.message(QStringLiteral("Error on save!"), Operator::Icon::Critical);
    m_out.saved = outcome == SaveOutcome::Written;
    if (m_out.saved) {
        m_out.backupKept = backupKept;
        m_out.units = unitsInHighwayFile(m_text);
    }
}

void FileDownload::close() {
    if (m_ctx.serial())
        m_ctx.transfer.CloseSerial();
    else
        m_ctx.transfer.CloseTcp();
}

FileDownload::Next FileDownload::cancelled() {
    m_out.cancelled = true;
    m_out.result = false;
    m_busy.release();
    m_ctx.op.message(
        QStringLiteral("The download of %1 was cancelled; nothing was written.").arg(m_name),
        Operator::Icon::Information);
    return Next::Close;
}

FileDownload::Next FileDownload::runtimeError(const QString& text) {
    m_out.result = false;
    m_busy.release();
    m_ctx.op.message(text, Operator::Icon::Critical);
    return Next::Close;
}

void FileDownload::show(int value, int maximum, int done, bool finished) {
    TransferProgress p;
    p.file = m_name;
    p.highway = m_name.contains(QLatin1String("HW02"), Qt::CaseInsensitive) ? 2 : 1;
    p.value = value;
    p.maximum = maximum;
    p.blocksDone = done;
    p.blocksTotal = m_blocks;
    p.secondsLeft = m_timeLeft.seconds(done, m_blocks);
    p.finished = finished;
    m_ctx.report(p);
}

} // namespace

DownloadResult GetFile(TransferContext& ctx, const QString& Filenaam, const Cancellation* cancel) {
    return FileDownload(ctx, Filenaam, cancel).run();
}

QString downloadResultText(const QString& file, const DownloadResult& result) {
    if (result.saved) {
        const QString text =
            QStringLiteral("%1 downloaded: %2 %3")
                .arg(file)
                .arg(result.units)
                .arg(result.units == 1 ? QStringLiteral("unit") : QStringLiteral("units"));
        if (!result.backupKept)
            return text;
        return text + QStringLiteral("; the previous file is kept as %1")
                          .arg(QFileInfo(backupPath(file)).fileName());
    }
    if (result.cancelled)
        return QStringLiteral("%1: cancelled, nothing written").arg(file);
    return QStringLiteral("%1: not downloaded").arg(file);
}

bool GetConn(const TransferContext& ctx) {
    // Every type but the serial one is opened as TCP, so every such type is asked as TCP.
    const bool up = ctx.serial() ? ctx.transfer.SerialIsOpen() : ctx.transfer.TcpIsConnected();
    if (!up)
        ctx.op.message(QString::fromLatin1(kConnectionBrokenText), Operator::Icon::Critical);
    return up;
}

bool HighwayDownloadOutcome::allSaved() const {
    for (int i = 0; i < 2; ++i) {
        if (asked[i] && !files[i].saved)
            return false;
    }
    return asked[0] || asked[1];
}

bool HighwayDownloadOutcome::cancelled() const {
    return files[0].cancelled || files[1].cancelled;
}

bool HighwayDownloadOutcome::unreachable() const {
    return files[0].unreachable || files[1].unreachable;
}

HighwayDownloadOutcome DownloadHighwayFiles(TransferContext& ctx, bool hw1, bool hw2,
                                            const Cancellation* cancel, const FileDone& done) {
    HighwayDownloadOutcome outcome;
    const bool wanted[2] = {hw1, hw2};
    for (int i = 0; i < 2; ++i)
        outcome.asked[i] = wanted[i];
    for (int i = 0; i < 2; ++i) {
        if (!wanted[i])
            continue;
        const QString file = QStringLiteral("HW0%1.ini").arg(i + 1);
        outcome.tried[i] = true;
        outcome.files[i] = GetFile(ctx, file, cancel);
        if (done)
            done(file, outcome.files[i]);
        // A cancel ends the whole download; a logger that could not be reached for one file
        // is not tried again for the next (one connection wait, one message).
        if (outcome.files[i].cancelled || outcome.files[i].unreachable)
            break;
    }
    return outcome;
}

} // namespace nodalyx
