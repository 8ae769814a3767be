#include "UploadSequence.h"

#include "CounterReadout.h"
#include "UploadVerify.h"

namespace nodalyx {

namespace {

// Answers false when the operator declines to go on with another logger.
bool serialAccepted(SharedState& state, Link& link, Operator& op) {
    if (!link.OpenLink())
        return true;
    const QString remote = link.ReadLoggerSerial();
    if (remote.contains(state.settings.eSerialnumber))
        return true;
    return op.askYesNo(serialMismatchQuestion(), Operator::Icon::Question);
}

// Each ticked file in turn, its result replacing the verdict; false when one was cancelled.
bool sendHighways(const UploadChoice& choice, const HighwayStep& highway, bool& ok) {
    for (int hw : {1, 2}) {
        if (!(hw == 1 ? choice.hw1 : choice.hw2))
            continue;
        const StepResult r = highway ? highway(hw) : StepResult::Failed;
        ok = r == StepResult::Done;
        if (r == StepResult::Cancelled)
            return false;
    }
    return true;
}

} // namespace

UploadOutcome UploadConfiguration(SharedState& state, Link& link, Operator& op,
                                  const UploadChoice& choice, const HighwayStep& highway,
                                  const ReportLine& line) {
    BusyGuard hourglass(op);
    UploadOutcome out;
    link.CloseLink();
    if (!serialAccepted(state, link, op)) {
        out.declined = true;
        return out;
    }
    if (choice.general) {
        const GeneralUploadResult general = GeneralUpload(state, link, line).run();
        if (general.stopped()) {
            link.CloseLink();
            hourglass.release();
            op.message(general.stoppedBy, Operator::Icon::Critical);
            out.stopped = true;
            return out;
        }
        out.ok = general.ok;
    }
    const bool finished = sendHighways(choice, highway, out.ok);
    link.CloseLink();
    bool verified = false;
    if (finished && choice.verify) {
        if (choice.general) {
            verified = VerifyUpload(state, link, op, line).verified();
            out.ok = out.ok && verified;
        } else {
            line(QStringLiteral("Verify: no general settings were sent; nothing to read back"));
        }
    }
    out.finalMessage = QString::fromLatin1(out.ok ? kSendDoneText : kSendFailedText);
    if (out.ok && verified)
        out.finalMessage += QLatin1String(kVerifiedSuffix);
    return out;
}

} // namespace nodalyx
