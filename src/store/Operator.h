#pragma once

#include <QString>

namespace nodalyx {

// The one way core code talks to the person at the keyboard. Windows implement it with
// message boxes, the command-line tool with the terminal, tests with a scripted double.
// No core code shows a widget itself.
class Operator {
public:
    enum class Icon { None, Information, Warning, Critical, Question };
    // The answer a question gives when the operator just presses Enter.
    enum class Answer { Yes, No };

    virtual ~Operator() = default;

    // A message with an OK button. An empty title means the application title.
    virtual void message(const QString& text, Icon icon = Icon::Information,
                         const QString& title = {}) = 0;
    // A question with Yes and No buttons; true means Yes. A risky step asks with No as the
    // default answer.
    virtual bool askYesNo(const QString& text, Icon icon = Icon::None, const QString& title = {},
                          Answer defaultAnswer = Answer::Yes) = 0;
    // The hourglass pointer on or off. Calls nest: every on is matched by one off.
    virtual void setBusy(bool busy) = 0;
    virtual void beep() = 0;
    // Progress of a long piece of work; maximum 0 ends it.
    virtual void progress(const QString& what, int value, int maximum) = 0;
};

// Shows the hourglass for the life of the guard, so every exit path restores the pointer.
class BusyGuard {
public:
    explicit BusyGuard(Operator& op) : m_op(op) { m_op.setBusy(true); }
    ~BusyGuard() { release(); }
    BusyGuard(const BusyGuard&) = delete;
    BusyGuard& operator=(const BusyGuard&) = delete;
    // Restores the normal pointer early (before a message box, for example).
    void release() {
        if (m_active) {
            m_active = false;
            m_op.setBusy(false);
        }
    }

private:
    Operator& m_op;
    bool m_active = true;
};

} // namespace nodalyx
