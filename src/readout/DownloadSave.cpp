#include "DownloadSave.h"

#include "TextFile.h"

#include <QFileInfo>

namespace nodalyx {

namespace {

// Why the tool could not read back the file that bytes would make; empty when it could. The
// highway reader refuses a file above kMaxTextFileSize or holding NUL bytes, so such a file
// is never written over a good one.
QString unreadableDownload(const QString& Filenaam, const QByteArray& bytes) {
    const QString name = QFileInfo(Filenaam).fileName();
    if (bytes.size() > kMaxTextFileSize)
        return QStringLiteral("%1 from the logger is %2 bytes; a highway file may hold at most "
                              "%3 bytes.")
            .arg(name)
            .arg(bytes.size())
            .arg(kMaxTextFileSize);
    if (bytes.contains('\0'))
        return QStringLiteral("%1 from the logger is not text (it holds NUL bytes); nothing "
                              "was written.")
            .arg(name);
    return {};
}

} // namespace

QByteArray withCrLf(const QByteArray& text) {
    QByteArray out;
    out.reserve(text.size() + text.count('\n'));
    for (char c : text) {
        if (c == '\n')
            out.append('\r');
        out.append(c);
    }
    return out;
}

QString backupPath(const QString& path) {
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    return (dot > slash ? path.left(dot) : path) + QStringLiteral(".bak");
}

SaveOutcome saveDownloadedFile(const QString& Filenaam, const QByteArray& Bestand,
                               qint32 ExpectedSize, Operator& op, bool* backupKept) {
    if (Filenaam.isEmpty())
        return SaveOutcome::Failed;
    if (qint64(ExpectedSize) != Bestand.size() + 2) {
        op.message(QStringLiteral("File not complete (Size = %1)").arg(Bestand.size()),
                   Operator::Icon::Critical);
        return SaveOutcome::Incomplete;
    }
    const QByteArray bytes = withCrLf(Bestand);
    if (const QString refusal = unreadableDownload(Filenaam, bytes); !refusal.isEmpty()) {
        op.message(refusal, Operator::Icon::Critical);
        return SaveOutcome::Refused;
    }
    // A missing file leaves the old backup alone.
    const bool kept = keepBackup(Filenaam, backupPath(Filenaam));
    if (backupKept)
        *backupKept = kept;
    const QString error = saveTextFile(Filenaam, bytes);
    if (error.isEmpty())
        return SaveOutcome::Written;
    op.message(error, Operator::Icon::Critical);
    return SaveOutcome::Failed;
}

qint16 SaveLocalFile(const QString& Filenaam, const QByteArray& Bestand, qint32 ExpectedSize,
                     Operator& op) {
    return saveDownloadedFile(Filenaam, Bestand, ExpectedSize, op) == SaveOutcome::Failed ? -1 : 0;
}

} // namespace nodalyx
