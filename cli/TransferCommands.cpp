// The download and upload commands of nodalyx-cli: the highway-file download and the upload
// sequence without the windows.
#include "TransferCommands.h"
#include "LoggerSession.h"

#include "CountingOperator.h"
#include "HighwayDownload.h"
#include "HighwayFileStep.h"
#include "Interrupt.h"
#include "LocationLoad.h"
#include "LocationStore.h"
#include "TrafficTrace.h"

#include <QTextStream>

#include <unistd.h>

namespace nodalyx::cli {

namespace {

struct Invocation {
    QString location;
    bool hw[2] = {false, false};
    bool general = false; // upload only
    bool verify = false;  // upload only
};

int parseArgs(const QString& command, const QStringList& args, Invocation& inv) {
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == QLatin1String("--hw")) {
            const QString v = i + 1 < args.size() ? args[++i] : QString();
            if (v != QLatin1String("1") && v != QLatin1String("2"))
                return usageError(
                    QStringLiteral("%1: --hw needs 1 or 2, not '%2'").arg(command, v));
            inv.hw[v.toInt() - 1] = true;
        } else if (command == QLatin1String("upload") && a == QLatin1String("--general")) {
            inv.general = true;
        } else if (command == QLatin1String("upload") && a == QLatin1String("--verify")) {
            inv.verify = true;
        } else if (a.startsWith(QLatin1String("--")) || !inv.location.isEmpty()) {
            return usageError(QStringLiteral("%1: unexpected '%2'").arg(command, a));
        } else {
            inv.location = a;
        }
    }
    if (inv.location.isEmpty())
        return usageError(QStringLiteral("%1 needs a LOCATION").arg(command));
    const bool none = !inv.hw[0] && !inv.hw[1] && !inv.general;
    if (none && command == QLatin1String("upload"))
        return usageError(QStringLiteral("upload: say what to send: --general, --hw 1, --hw 2"));
    if (none)
        inv.hw[0] = inv.hw[1] = true;
    return Done;
}

// Blocks done and the time left on one line of the terminal; nothing when stderr is no
// terminal.
ProgressSink terminalProgress() {
    if (!isatty(STDERR_FILENO))
        return [](const TransferProgress&) {};
    return [](const TransferProgress& p) {
        QTextStream(stderr) << "\r\x1b[K" << p.text() << (p.finished ? "\n" : "") << Qt::flush;
    };
}

// Ctrl-C cancels the running transfer: the download writes nothing, the upload stops after
// the packet or general-settings item under way.
void cancelOnInterrupt(FileTransferLink& transfer, Cancellation& cancel) {
    onFirstInterrupt(&transfer, QStringLiteral("\nnodalyx-cli: cancelling the transfer"),
                     [&transfer, &cancel] {
                         cancel.request();
                         transfer.requestCancel();
                     });
}

// Each file that went through, as it is written: "HW01.ini: downloaded", then what it holds
// and where the previous file went ("HW01.ini downloaded: 64 units; the previous file is kept
// as HW01.bak").
FileDone printDownloaded(CliContext& ctx) {
    return [&ctx](const QString& file, const DownloadResult& result) {
        if (!result.saved)
            return;
        ctx.out << file << ": downloaded\n" << downloadResultText(file, result) << Qt::endl;
    };
}

// The files that did not go through. A logger that could not be reached has been told once
// (where and why) by the download; the files are not named again then.
int verdict(CountingOperator& op, const HighwayDownloadOutcome& outcome) {
    if (outcome.unreachable())
        return Failed;
    int result = Done;
    for (int i = 0; i < 2; ++i) {
        if (!outcome.asked[i] || outcome.files[i].saved)
            continue;
        op.message(QStringLiteral("HW0%1.ini was not downloaded.").arg(i + 1),
                   Operator::Icon::Critical);
        result = Failed;
    }
    return result;
}

int download(CliContext& ctx, TransferContext& t, CountingOperator& op, const Invocation& inv) {
    op.message(QString::fromLatin1(kBackupNoticeText), Operator::Icon::None);
    const HighwayDownloadOutcome outcome =
        DownloadHighwayFiles(t, inv.hw[0], inv.hw[1], nullptr, printDownloaded(ctx));
    return verdict(op, outcome);
}

// The upload sequence: each report line on stdout as it is written, then the final message.
// Why a highway file failed is a line of the report.
int upload(CliContext& ctx, TransferContext& t, CountingOperator& op, const Invocation& inv,
           const Cancellation& cancel) {
    HighwayFileStep files(t.state, t.link, t.transfer, op, t.progress);
    const UploadChoice choice{inv.general, inv.hw[0], inv.hw[1], inv.verify};
    const UploadOutcome outcome = UploadConfiguration(
        t.state, t.link, op, choice, files.step(),
        [&ctx](const QString& line) { ctx.out << line << Qt::endl; }, &cancel);
    if (outcome.finalMessage.isEmpty())
        return Failed; // declined, or stopped by a value that cannot be sent (told)
    ctx.out << outcome.finalMessage << Qt::endl;
    return outcome.ok ? Done : Failed;
}

} // namespace

bool isTransferCommand(const QString& command) {
    return command == QLatin1String("download") || command == QLatin1String("upload");
}

int runTransferCommand(CliContext& ctx, const QString& command, const QStringList& args) {
    Invocation inv;
    if (const int usage = parseArgs(command, args, inv); usage != Done)
        return usage;
    CountingOperator op(ctx.op);
    SharedState state;
    if (!loadLocationSettings(ctx, inv.location, state, op))
        return Failed;
    Link link(state.settings);
    tellNotices(link, op);
    SharedTransferLink transfer(link);
    if (ctx.trace) {
        traceToStderr(link);
        tracePacketsToStderr(transfer.get());
    }
    Cancellation cancel;
    cancelOnInterrupt(transfer.get(), cancel);
    TransferContext t{state, link, transfer.get(), op, inv.location, terminalProgress()};
    const int result = command == QLatin1String("download") ? download(ctx, t, op, inv)
                                                            : upload(ctx, t, op, inv, cancel);
    link.CloseLink();
    return result;
}

} // namespace nodalyx::cli
