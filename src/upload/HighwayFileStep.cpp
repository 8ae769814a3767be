#include "HighwayFileStep.h"

namespace nodalyx {

HighwayFileStep::HighwayFileStep(SharedState& state, Link& link, FileTransferLink& transfer,
                                 Operator& op, ProgressSink progress)
    : m_ctx{state, link, transfer, op, state.locationName, std::move(progress)}, m_upload(m_ctx) {}

StepResult HighwayFileStep::operator()(int highway) {
    m_ctx.location = m_ctx.state.locationName; // the window stays while locations change
    const bool done = m_upload.UploadHW(QStringLiteral("HW0%1.ini").arg(highway));
    if (m_ctx.transfer.cancelRequested())
        return StepResult::Cancelled;
    return done ? StepResult::Done : StepResult::Failed;
}

} // namespace nodalyx
