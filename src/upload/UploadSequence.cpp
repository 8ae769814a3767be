#include "UploadSequence.h"

#include "LoggerSession.h"
#include "UploadVerify.h"

namespace nodalyx {

namespace {

bool cancelled(const Cancellation* cancel) {
    return cancel && cancel->requested();
}

// One run of the sequence: the steps share the outcome, the report and the operator.
class UploadRun {
public:
    UploadRun(SharedState& state, Link& link, Operator& op, const ReportLine& line,
              const Cancellation* cancel)
        : m_state(state), m_link(link), m_op(op), m_line(line), m_cancel(cancel) {}

    UploadOutcome run(const UploadChoice& choice, const HighwayStep& highway);

private:
    bool reachLogger(LoggerSession& session);
    bool sendGeneral();
    void sendHighways(const UploadChoice& choice, const HighwayStep& highway);
    void sendHighway(int hw, const HighwayStep& highway);
    void verify(const UploadChoice& choice);
    void endWith(const QString& reason);

    SharedState& m_state;
    Link& m_link;
    Operator& m_op;
    const ReportLine& m_line;
    const Cancellation* m_cancel;
    UploadOutcome m_out;
    bool m_allOk = true;
    bool m_verified = false;
    LoggerSession* m_session = nullptr;
    BusyGuard* m_hourglass = nullptr;
    QStringList m_acknowledged;
};

// The run cannot go on: the reason is a line of the report and the final message's second part.
void UploadRun::endWith(const QString& reason) {
    m_out.reason = reason;
    m_line(reason);
    m_out.ok = false;
    m_out.finalMessage = QString::fromLatin1(kSendFailedText);
}

// One connection wait at most: when the link does not open nothing else is tried. A logger
// that does not answer, or another logger the operator declines, ends the run too.
bool UploadRun::reachLogger(LoggerSession& session) {
    switch (session.start()) {
    case LoggerSession::Start::Ready:
        return true;
    case LoggerSession::Start::Declined:
        m_out.declined = true;
        m_line(QStringLiteral("Nothing sent: the logger's serial number \"%1\" does not hold "
                              "\"%2\"")
                   .arg(session.remoteSerial().value_or(QString()).trimmed(),
                        m_state.settings.eSerialnumber));
        return false;
    default:
        endWith(m_link.connectionFailedText());
        return false;
    }
}

// False when a value that cannot be sent ended the run (told with a message).
bool UploadRun::sendGeneral() {
    const GeneralUploadResult general = GeneralUpload(m_state, m_link, m_line, m_cancel).run();
    if (general.stopped()) {
        m_session->close();
        m_hourglass->release();
        m_op.message(general.stoppedBy, Operator::Icon::Critical);
        m_out.stopped = true;
        return false;
    }
    m_allOk = m_allOk && general.ok;
    m_out.cancelled = general.cancelled;
    m_acknowledged = general.acknowledged;
    return true;
}

void UploadRun::sendHighway(int hw, const HighwayStep& highway) {
    const QString file = QStringLiteral("HW0%1.ini").arg(hw);
    if (m_out.cancelled || cancelled(m_cancel)) {
        m_out.cancelled = true;
        m_allOk = false;
        m_line(QStringLiteral("Upload %1 not sent: cancelled").arg(file));
        return;
    }
    const StepOutcome r = highway ? highway(hw) : StepOutcome(StepResult::Failed);
    switch (r.result) {
    case StepResult::Done:
        m_line(QStringLiteral("Upload %1 OK").arg(file));
        return;
    case StepResult::Cancelled:
        m_out.cancelled = true;
        m_line(QStringLiteral("Upload %1 cancelled").arg(file));
        break;
    case StepResult::Failed:
        m_line(r.reason.isEmpty() ? QStringLiteral("Upload %1 FAILED").arg(file)
                                  : QStringLiteral("Upload %1 FAILED: %2").arg(file, r.reason));
        break;
    }
    m_allOk = false;
}

void UploadRun::sendHighways(const UploadChoice& choice, const HighwayStep& highway) {
    if (choice.hw1)
        sendHighway(1, highway);
    if (choice.hw2)
        sendHighway(2, highway);
}

void UploadRun::verify(const UploadChoice& choice) {
    if (!choice.verify || m_out.cancelled)
        return;
    if (!choice.general) {
        m_line(QStringLiteral("Verify: no general settings were sent; nothing to read back"));
        return;
    }
    const VerifyResult result =
        VerifyUpload(m_state, m_link, m_op, m_line, m_acknowledged, m_cancel);
    m_out.cancelled = result.cancelled;
    m_allOk = m_allOk && result.verified();
    m_verified = result.verified();
}

// A fresh connection, the serial number read once and compared; the run reports a logger it
// cannot reach itself (a line and the final message), so the session tells nothing.
SessionPolicy uploadPolicy() {
    SessionPolicy policy;
    policy.serial = SessionPolicy::Serial::Compare;
    policy.reopen = true;
    policy.hourglassFirst = false; // the run shows it, verify included
    return policy;
}

UploadOutcome UploadRun::run(const UploadChoice& choice, const HighwayStep& highway) {
    BusyGuard hourglass(m_op);
    m_hourglass = &hourglass;
    {
        LoggerSession session(m_link, m_op, m_state.settings, uploadPolicy());
        m_session = &session;
        if (!reachLogger(session) || (choice.general && !sendGeneral()))
            return m_out;
        sendHighways(choice, highway);
        session.close();
        m_session = nullptr;
    }
    verify(choice);
    m_out.ok = m_allOk && (choice.general || choice.hw1 || choice.hw2) && !m_out.cancelled;
    m_out.finalMessage = QString::fromLatin1(m_out.ok ? kSendDoneText : kSendFailedText);
    if (m_out.ok && choice.verify && m_verified)
        m_out.finalMessage += QLatin1String(kVerifiedSuffix);
    if (m_out.cancelled)
        m_out.reason = QStringLiteral("The upload was cancelled.");
    return m_out;
}

} // namespace

UploadOutcome UploadConfiguration(SharedState& state, Link& link, Operator& op,
                                  const UploadChoice& choice, const HighwayStep& highway,
                                  const ReportLine& line, const Cancellation* cancel) {
    const ReportLine report = line ? line : ReportLine([](const QString&) {});
    return UploadRun(state, link, op, report, cancel).run(choice, highway);
}

QString finalMessageText(const UploadOutcome& outcome) {
    if (outcome.reason.isEmpty())
        return outcome.finalMessage;
    return outcome.finalMessage + QStringLiteral("\r\n\r\n") + outcome.reason;
}

} // namespace nodalyx
