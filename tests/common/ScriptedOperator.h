#pragma once

#include "Operator.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace nodalyx::test {

// The operator double: records what was shown and answers questions as scripted.
class ScriptedOperator : public Operator {
public:
    struct Shown {
        QString text;
        Icon icon;
        bool question;
        Answer defaultAnswer = Answer::Yes; // questions only
    };

    void message(const QString& text, Icon icon, const QString& title) override;
    bool askYesNo(const QString& text, Icon icon, const QString& title,
                  Answer defaultAnswer) override;
    void setBusy(bool busy) override;
    void beep() override { ++m_beeps; }
    void progress(const QString&, int, int) override {}

    // Answers for the next questions, in order; when none is left the answer is No.
    void answer(std::initializer_list<bool> answers) { m_answers.append(QList<bool>(answers)); }

    const QList<Shown>& shown() const { return m_shown; }
    QStringList messages() const; // texts of messages and questions, in order
    QString lastText() const { return m_shown.isEmpty() ? QString() : m_shown.last().text; }
    int questions() const;
    int busyDepth() const { return m_busyDepth; }
    int maxBusyDepth() const { return m_maxBusyDepth; }
    int beeps() const { return m_beeps; }
    void clear();

private:
    QList<Shown> m_shown;
    QList<bool> m_answers;
    int m_busyDepth = 0;
    int m_maxBusyDepth = 0;
    int m_beeps = 0;
};

} // namespace nodalyx::test
