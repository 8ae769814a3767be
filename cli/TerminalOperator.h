#pragma once

#include "Operator.h"

namespace nodalyx::cli {

// The operator as a terminal: messages on stderr; questions asked on the terminal when
// there is one, answered Yes by --yes, and answered No when nobody can be asked.
class TerminalOperator : public Operator {
public:
    explicit TerminalOperator(bool assumeYes) : m_assumeYes(assumeYes) {}

    void message(const QString& text, Icon icon, const QString& title) override;
    bool askYesNo(const QString& text, Icon icon, const QString& title,
                  Answer defaultAnswer) override;
    void setBusy(bool) override {}
    void beep() override;
    void progress(const QString& what, int value, int maximum) override;

private:
    bool m_assumeYes;
};

} // namespace nodalyx::cli
