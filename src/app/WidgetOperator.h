#pragma once

#include "Operator.h"

#include <QPointer>

#include <QStatusBar>

namespace nodalyx {

// The operator at the screen: message boxes, the hourglass pointer, the beep and a status
// bar for progress.
class WidgetOperator : public Operator {
public:
    static const QString kTitle; // "NVQ Nodalyx configuration tool"

    void message(const QString& text, Icon icon = Icon::Information,
                 const QString& title = {}) override;
    bool askYesNo(const QString& text, Icon icon = Icon::None, const QString& title = {},
                  Answer defaultAnswer = Answer::Yes) override;
    void setBusy(bool busy) override;
    void beep() override;
    void progress(const QString& what, int value, int maximum) override;

    // Where progress is shown; none: progress is not shown.
    void setStatusBar(QStatusBar* bar) { m_statusBar = bar; }
    // Unattended runs (the screenshots) write messages to stderr and answer Yes.
    void setUnattended(bool unattended) { m_unattended = unattended; }

private:
    QPointer<QStatusBar> m_statusBar;
    bool m_unattended = false;
};

} // namespace nodalyx
