#include "HighwayUploadSequence.h"

#include "CounterReadout.h"

namespace nodalyx {

bool HighwayUploadOutcome::allUploaded() const {
    if (declined || !(asked[0] || asked[1]))
        return false;
    for (int i = 0; i < 2; ++i) {
        if (asked[i] && !uploaded[i])
            return false;
    }
    return true;
}

HighwayUploadOutcome UploadHighwayFiles(TransferContext& ctx, HighwayUpload& upload, bool hw1,
                                        bool hw2) {
    HighwayUploadOutcome outcome;
    BusyGuard busy(ctx.op);
    ctx.link.CloseLink();
    if (ctx.link.OpenLink()) {
        const QString serial = ctx.link.ReadLoggerSerial();
        if (!serial.contains(ctx.state.settings.eSerialnumber) &&
            !ctx.op.askYesNo(serialMismatchQuestion(), Operator::Icon::None)) {
            outcome.declined = true;
            return outcome; // nothing sent; the link is left as it is
        }
    }
    const bool wanted[2] = {hw1, hw2};
    for (int i = 0; i < 2; ++i) {
        if (!wanted[i])
            continue;
        outcome.asked[i] = true;
        outcome.uploaded[i] = upload.UploadHW(QStringLiteral("HW0%1.ini").arg(i + 1));
        outcome.ok = outcome.uploaded[i];
        if (ctx.transfer.cancelRequested())
            break;
    }
    ctx.link.CloseLink();
    busy.release();
    ctx.op.message(QString::fromLatin1(outcome.ok ? kUploadDoneText : kUploadFailedText),
                   outcome.ok ? Operator::Icon::Information : Operator::Icon::Critical);
    return outcome;
}

} // namespace nodalyx
