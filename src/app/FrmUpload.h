#pragma once

#include "HeldDelete.h"

#include "Cancellation.h"
#include "Link.h"
#include "Operator.h"
#include "SharedState.h"
#include "TransferProgress.h"
#include "UploadSequence.h"

#include <QDialog>
#include <memory>

namespace Ui {
class FrmUpload;
}

namespace nodalyx {

class HighwayFileStep;
class SharedTransferLink;

// The upload window: which parts to send, the report of the last run, and its buttons. The
// run itself is UploadConfiguration; the window only shows its lines and its final message.
// A delete asked for during a run (deleteLater, or a close with Qt::WA_DeleteOnClose from
// elsewhere) cancels the run and waits for its end, so the run never loses its window.
class FrmUpload : public QDialog {
    Q_OBJECT
public:
    FrmUpload(SharedState& state, Link& link, Operator& op, QWidget* parent = nullptr);
    ~FrmUpload() override;
    // The transfer component the highway files go through; without one the window makes its
    // own on the first highway upload.
    void setTransfers(SharedTransferLink* transfers) { m_transfers = transfers; }
    bool isRunning() const { return m_running; }
    // The report of the last run, every line ended by CR LF (as copied).
    const QString& report() const { return m_report; }

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    // Escape: cancels a run, else closes the window.
    void reject() override;

private:
    void upload();
    void cancel();
    void showTarget();
    HighwayStep highwaySteps();
    void showProgress(const TransferProgress& p);
    void setRunning(bool running);
    void appendLine(const QString& line);

    std::unique_ptr<Ui::FrmUpload> m_ui;
    SharedState& m_state;
    Link& m_link;
    Operator& m_op;
    SharedTransferLink* m_transfers = nullptr;
    std::unique_ptr<SharedTransferLink> m_ownTransfers;
    std::unique_ptr<HighwayFileStep> m_files; // made on the first highway upload, then kept
    bool m_running = false;
    HeldDelete m_heldDelete{this};
    Cancellation m_cancel;
    QString m_report;
};

} // namespace nodalyx
