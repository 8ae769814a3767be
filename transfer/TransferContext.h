#pragma once

#include "FileTransferLink.h"
#include "Link.h"
#include "LocationSettings.h"
#include "Operator.h"
#include "SharedState.h"
#include "TransferProgress.h"

#include <QString>
#include <functional>
#include <memory>

namespace nodalyx {

// What a highway-file transfer works with: the shared state (the location's settings), the
// tool's link (closed first, its device then leased to the transfer), the one transfer
// component, the operator, the location's name (the main window's CboLocation) and where its
// progress goes (none: to op.progress()).
struct TransferContext {
    SharedState& state;
    Link& link;
    FileTransferLink& transfer;
    Operator& op;
    QString location;
    ProgressSink progress = {};

    void report(const TransferProgress& p) const {
        if (progress)
            progress(p);
        else
            op.progress(p.text(), p.value, p.maximum);
    }
    bool serial() const { return isSerial(state.settings); }
};

// The one FileTransferLink of a run: created on first use, bound to the tool's link, kept
// until the owner (the main window, a command) goes.
class SharedTransferLink {
public:
    explicit SharedTransferLink(Link& link) : m_link(link) {}
    // Called with the component as soon as it is made (the communication log listens to it).
    void setOnCreated(std::function<void(FileTransferLink&)> onCreated) {
        m_onCreated = std::move(onCreated);
    }
    FileTransferLink& get() {
        if (!m_transfer) {
            m_transfer.reset(new FileTransferLink(&m_link));
            if (m_onCreated)
                m_onCreated(*m_transfer);
        }
        return *m_transfer;
    }
    bool created() const { return m_transfer != nullptr; }

private:
    struct Later {
        void operator()(FileTransferLink* t) const {
            if (t->isBusy())
                t->deleteLater(); // a wait still runs on the stack: delete once it has ended
            else
                delete t;
        }
    };
    Link& m_link;
    std::function<void(FileTransferLink&)> m_onCreated;
    std::unique_ptr<FileTransferLink, Later> m_transfer;
};

} // namespace nodalyx
