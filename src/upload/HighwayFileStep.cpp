#include "HighwayFileStep.h"

namespace nodalyx {

HighwayFileStep::HighwayFileStep(SharedState& state, Link& link, FileTransferLink& transfer,
                                 Operator& op, ProgressSink progress)
    : m_recorder(op),
      m_ctx{state, link, transfer, m_recorder, state.locationName, std::move(progress)},
      m_upload(m_ctx) {}

StepOutcome HighwayFileStep::operator()(int highway) {
    m_ctx.location = m_ctx.state.locationName; // the window stays while locations change
    m_recorder.takeLast();
    const bool done = m_upload.UploadHW(QStringLiteral("HW0%1.ini").arg(highway));
    const QString told = m_recorder.takeLast();
    if (m_ctx.transfer.cancelRequested())
        return StepResult::Cancelled;
    if (done)
        return StepResult::Done;
    const QString why = !told.isEmpty() ? told : m_ctx.transfer.lastFailure();
    return {StepResult::Failed, why.simplified()};
}

} // namespace nodalyx
