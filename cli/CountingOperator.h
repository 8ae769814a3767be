#pragma once

#include "Operator.h"

namespace nodalyx::cli {

// Passes everything on to the terminal and counts the messages: the store reports only
// failures, so a command that saw a message has failed.
class CountingOperator : public Operator {
public:
    explicit CountingOperator(Operator& inner) : m_inner(inner) {}

    void message(const QString& text, Icon icon = Icon::Information,
                 const QString& title = {}) override;
    bool askYesNo(const QString& text, Icon icon, const QString& title,
                  Answer defaultAnswer) override;
    void setBusy(bool busy) override { m_inner.setBusy(busy); }
    void beep() override { m_inner.beep(); }
    void progress(const QString& what, int value, int maximum) override;

    int messages() const { return m_messages; }

private:
    Operator& m_inner;
    int m_messages = 0;
};

} // namespace nodalyx::cli
