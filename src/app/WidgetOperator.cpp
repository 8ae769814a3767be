#include "WidgetOperator.h"

#include "PrintableText.h"

#include <QApplication>
#include <QMessageBox>
#include <QStatusBar>
#include <QTextStream>

namespace nodalyx {

const QString WidgetOperator::kTitle = QStringLiteral("NVQ Nodalyx configuration tool");

namespace {

QMessageBox::Icon boxIcon(Operator::Icon icon) {
    switch (icon) {
    case Operator::Icon::Information:
        return QMessageBox::Information;
    case Operator::Icon::Warning:
        return QMessageBox::Warning;
    case Operator::Icon::Critical:
        return QMessageBox::Critical;
    case Operator::Icon::Question:
        return QMessageBox::Question;
    case Operator::Icon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

// Shows a box with the normal pointer, even while the hourglass is on.
int showBox(const QString& text, Operator::Icon icon, const QString& title,
            QMessageBox::StandardButtons buttons, QMessageBox::StandardButton defaultButton) {
    // A text from the logger inside the message shows its control characters as \xNN.
    QMessageBox box(boxIcon(icon), title.isEmpty() ? WidgetOperator::kTitle : title,
                    printableLines(text), buttons, QApplication::activeWindow());
    box.setDefaultButton(defaultButton);
    QApplication::setOverrideCursor(Qt::ArrowCursor);
    const int answer = box.exec();
    QApplication::restoreOverrideCursor();
    return answer;
}

} // namespace

void WidgetOperator::message(const QString& text, Icon icon, const QString& title) {
    if (m_unattended) {
        QTextStream(stderr) << "message: " << text << '\n';
        return;
    }
    showBox(text, icon, title, QMessageBox::Ok, QMessageBox::Ok);
}

bool WidgetOperator::askYesNo(const QString& text, Icon icon, const QString& title,
                              Answer defaultAnswer) {
    if (m_unattended) {
        QTextStream(stderr) << "question (answered Yes): " << text << '\n';
        return true;
    }
    const auto preferred = defaultAnswer == Answer::No ? QMessageBox::No : QMessageBox::Yes;
    return showBox(text, icon, title, QMessageBox::Yes | QMessageBox::No, preferred) ==
           QMessageBox::Yes;
}

void WidgetOperator::setBusy(bool busy) {
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

void WidgetOperator::beep() {
    QApplication::beep();
}

void WidgetOperator::progress(const QString& what, int value, int maximum) {
    if (!m_statusBar)
        return;
    if (maximum <= 0)
        m_statusBar->clearMessage();
    else
        m_statusBar->showMessage(QStringLiteral("%1 %2/%3").arg(what).arg(value).arg(maximum));
}

} // namespace nodalyx
