#include "CountingOperator.h"

namespace nodalyx::cli {

void CountingOperator::message(const QString& text, Icon icon, const QString& title) {
    ++m_messages;
    m_inner.message(text, icon, title);
}

bool CountingOperator::askYesNo(const QString& text, Icon icon, const QString& title,
                                Answer defaultAnswer) {
    return m_inner.askYesNo(text, icon, title, defaultAnswer);
}

void CountingOperator::progress(const QString& what, int value, int maximum) {
    m_inner.progress(what, value, maximum);
}

} // namespace nodalyx::cli
