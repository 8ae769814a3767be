#pragma once

#include "ForwardingOperator.h"

namespace nodalyx::cli {

// Passes everything on to the terminal and counts the messages and questions: the store reports
// only failures, so a command that saw a message has failed.
class CountingOperator : public ForwardingOperator {
public:
    using ForwardingOperator::ForwardingOperator;

    void message(const QString& text, Icon icon = Icon::Information,
                 const QString& title = {}) override {
        ++m_messages;
        ForwardingOperator::message(text, icon, title);
    }

    bool askYesNo(const QString& text, Icon icon, const QString& title,
                  Answer defaultAnswer) override {
        ++m_questions;
        return ForwardingOperator::askYesNo(text, icon, title, defaultAnswer);
    }

    int messages() const { return m_messages; }
    // Whether the operator has already heard anything (a message or a question), so a
    // command can tell whether the operator knows why it stopped.
    bool toldAnything() const { return m_messages + m_questions > 0; }

private:
    int m_messages = 0;
    int m_questions = 0;
};

} // namespace nodalyx::cli
