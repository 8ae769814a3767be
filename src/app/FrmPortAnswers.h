#pragma once

#include "PortProbe.h"

#include <QDialog>
#include <memory>
#include <optional>

namespace Ui {
class FrmPortAnswers;
}

namespace nodalyx {

// What "Find" found when not exactly one port answered with the location's logger: every
// port asked, with the serial number it answered, "no answer" or why it was skipped. The
// operator picks one ("OK" or a double-click) or leaves with "Cancel".
class FrmPortAnswers : public QDialog {
    Q_OBJECT
public:
    FrmPortAnswers(const QList<ProbeAnswer>& answers, const QString& heading,
                   QWidget* parent = nullptr);
    ~FrmPortAnswers() override;

    // The index of the answer chosen; nothing when the operator cancelled.
    static std::optional<int> choose(const QList<ProbeAnswer>& answers, const QString& heading,
                                     QWidget* parent);

private:
    std::unique_ptr<Ui::FrmPortAnswers> m_ui;
};

} // namespace nodalyx
