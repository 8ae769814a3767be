#include "UploadSequence.h"

namespace nodalyx {

namespace {

// Answers false when the operator declines to go on with another logger.
bool serialAccepted(SharedState& state, Link& link, Operator& op) {
    if (!link.OpenLink())
        return true;
    const QString remote = link.ReadLoggerSerial();
    if (remote.contains(state.settings.eSerialnumber))
        return true;
    return op.askYesNo(QStringLiteral("Remote serialnumber not the same as local\r\n\r\n"
                                      "Would you continue?"),
                       Operator::Icon::Question);
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
    for (int hw : {1, 2}) {
        if ((hw == 1 ? choice.hw1 : choice.hw2) && highway)
            out.ok = highway(hw);
    }
    link.CloseLink();
    out.finalMessage = QString::fromLatin1(out.ok ? kSendDoneText : kSendFailedText);
    return out;
}

} // namespace nodalyx
