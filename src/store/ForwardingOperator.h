#pragma once

#include "Operator.h"

namespace nodalyx {

// Passes everything on to another operator; a subclass overrides what it wants to watch (the
// messages, usually).
class ForwardingOperator : public Operator {
public:
    explicit ForwardingOperator(Operator& inner) : m_inner(inner) {}

    void message(const QString& text, Icon icon = Icon::Information,
                 const QString& title = {}) override {
        m_inner.message(text, icon, title);
    }
    bool askYesNo(const QString& text, Icon icon = Icon::None, const QString& title = {},
                  Answer defaultAnswer = Answer::Yes) override {
        return m_inner.askYesNo(text, icon, title, defaultAnswer);
    }
    void setBusy(bool busy) override { m_inner.setBusy(busy); }
    void beep() override { m_inner.beep(); }
    void progress(const QString& what, int value, int maximum) override {
        m_inner.progress(what, value, maximum);
    }

private:
    Operator& m_inner;
};

} // namespace nodalyx
