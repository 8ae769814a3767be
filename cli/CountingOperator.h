#pragma once

#include "ForwardingOperator.h"

namespace nodalyx::cli {

// Passes everything on to the terminal and counts the messages: the store reports only
// failures, so a command that saw a message has failed.
class CountingOperator : public ForwardingOperator {
public:
    using ForwardingOperator::ForwardingOperator;

    void message(const QString& text, Icon icon = Icon::Information,
                 const QString& title = {}) override {
        ++m_messages;
        ForwardingOperator::message(text, icon, title);
    }

    int messages() const { return m_messages; }

private:
    int m_messages = 0;
};

} // namespace nodalyx::cli
