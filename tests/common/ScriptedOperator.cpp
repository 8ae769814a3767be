#include "ScriptedOperator.h"

namespace nodalyx::test {

void ScriptedOperator::message(const QString& text, Icon icon, const QString&) {
    m_shown.append({text, icon, false});
}

bool ScriptedOperator::askYesNo(const QString& text, Icon icon, const QString&,
                                Answer defaultAnswer) {
    m_shown.append({text, icon, true, defaultAnswer});
    return m_answers.isEmpty() ? false : m_answers.takeFirst();
}

void ScriptedOperator::setBusy(bool busy) {
    m_busyDepth += busy ? 1 : -1;
    m_maxBusyDepth = std::max(m_maxBusyDepth, m_busyDepth);
}

QStringList ScriptedOperator::messages() const {
    QStringList texts;
    for (const Shown& s : m_shown)
        texts << s.text;
    return texts;
}

int ScriptedOperator::questions() const {
    return int(
        std::count_if(m_shown.begin(), m_shown.end(), [](const Shown& s) { return s.question; }));
}

void ScriptedOperator::clear() {
    m_shown.clear();
    m_answers.clear();
    m_beeps = 0;
    m_maxBusyDepth = m_busyDepth;
}

} // namespace nodalyx::test
