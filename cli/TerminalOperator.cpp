#include "TerminalOperator.h"
#include "CliText.h"
#include "PrintableText.h"

#include <QTextStream>
#include <cstdio>
#include <iostream>
#include <string>
#include <unistd.h>

namespace nodalyx::cli {

namespace {
QString prefixFor(Operator::Icon icon) {
    switch (icon) {
    case Operator::Icon::Critical:
        return CliText::tr("error: ");
    case Operator::Icon::Warning:
        return CliText::tr("warning: ");
    default:
        return {};
    }
}

// Message boxes put their lines one under the other; on a terminal CR LF becomes a newline.
// A text from the logger inside a message never reaches the terminal raw: every other control
// character is shown as \xNN.
QString terminalText(const QString& text) {
    return printableLines(text).replace(QLatin1String("\r\n"), QLatin1String("\n"));
}
} // namespace

void TerminalOperator::message(const QString& text, Icon icon, const QString&) {
    QTextStream err(stderr);
    err << "nodalyx-cli: " << prefixFor(icon) << terminalText(text) << Qt::endl;
}

bool TerminalOperator::askYesNo(const QString& text, Icon, const QString&, Answer) {
    QTextStream err(stderr);
    err << terminalText(text);
    if (m_assumeYes) {
        err << " [y/N] yes (--yes)" << Qt::endl;
        return true;
    }
    if (!isatty(STDIN_FILENO)) {
        err << " [y/N] no (no terminal to ask; --yes answers Yes)" << Qt::endl;
        return false;
    }
    err << " [y/N] " << Qt::flush;
    std::string answer;
    if (!std::getline(std::cin, answer))
        return false;
    return !answer.empty() && (answer[0] == 'y' || answer[0] == 'Y');
}

void TerminalOperator::beep() {
    std::fputc('\a', stderr);
}

void TerminalOperator::progress(const QString& what, int value, int maximum) {
    if (maximum <= 0 || !isatty(STDERR_FILENO))
        return;
    QTextStream err(stderr);
    err << '\r' << what << ' ' << value << '/' << maximum << (value >= maximum ? "\n" : "")
        << Qt::flush;
}

} // namespace nodalyx::cli
