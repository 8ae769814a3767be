#pragma once

#include "ForwardingOperator.h"
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

    // UploadHW("HW01.ini") or UploadHW("HW02.ini") of the location loaded now; when it does not
    // go through, why: the last thing the transfer told the operator, or why it could not open.
    StepOutcome operator()(int highway);
    // The step for UploadConfiguration; it refers to this object.
    HighwayStep step() {
        return [this](int highway) { return (*this)(highway); };
    }
    const HighwayUpload& upload() const { return m_upload; }

private:
    // Passes everything on to the operator and keeps the last message told.
    class Recorder : public ForwardingOperator {
    public:
        using ForwardingOperator::ForwardingOperator;
        void message(const QString& text, Icon icon, const QString& title) override {
            m_last = text;
            ForwardingOperator::message(text, icon, title);
        }
        QString takeLast() { return std::exchange(m_last, {}); }

    private:
        QString m_last;
    };

    Recorder m_recorder;
    TransferContext m_ctx;
    HighwayUpload m_upload;
};

} // namespace nodalyx
