#pragma once

#include "HighwayUpload.h"
#include "UploadSequence.h"

namespace nodalyx {

// The highway steps of the upload sequence through the transfer component. One HighwayUpload
// is kept for the owner's life, so the blocks of the file last read stay between runs as the
// upload window keeps them.
class HighwayFileStep {
public:
    HighwayFileStep(SharedState& state, Link& link, FileTransferLink& transfer, Operator& op,
                    ProgressSink progress = {});

    // UploadHW("HW01.ini") or UploadHW("HW02.ini") of the location loaded now.
    StepResult operator()(int highway);
    // The step for UploadConfiguration; it refers to this object.
    HighwayStep step() {
        return [this](int highway) { return (*this)(highway); };
    }
    const HighwayUpload& upload() const { return m_upload; }

private:
    TransferContext m_ctx;
    HighwayUpload m_upload;
};

} // namespace nodalyx
