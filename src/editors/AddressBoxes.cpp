#include "AddressBoxes.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <memory>

namespace nodalyx {

namespace {

constexpr int kOctetDigits = 3;

QString digitsOf(const QString& text) {
    QString digits;
    for (const QChar c : text) {
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
            digits += c;
    }
    return digits;
}

bool isDigit(const QString& text) {
    return text.size() == 1 && text[0] >= QLatin1Char('0') && text[0] <= QLatin1Char('9');
}

} // namespace

AddressBoxes::AddressBoxes(const Boxes& boxes, QObject* parent) : QObject(parent), m_boxes(boxes) {
    for (int i = 0; i < int(m_boxes.size()); ++i) {
        m_boxes[i]->installEventFilter(this);
        connect(m_boxes[i], &QLineEdit::textEdited, this, [this, i] { edited(i); });
    }
}

void AddressBoxes::install(const Boxes& boxes) {
    new AddressBoxes(boxes, boxes[0]);
}

int AddressBoxes::indexOf(const QObject* box) const {
    for (int i = 0; i < int(m_boxes.size()); ++i) {
        if (m_boxes[i] == box)
            return i;
    }
    return -1;
}

bool AddressBoxes::eventFilter(QObject* watched, QEvent* event) {
    const int i = indexOf(watched);
    if (i < 0)
        return QObject::eventFilter(watched, event);
    if (event->type() == QEvent::KeyPress)
        return keyPress(i, static_cast<QKeyEvent*>(event));
    if (event->type() == QEvent::ContextMenu)
        return showContextMenu(i, static_cast<QContextMenuEvent*>(event)->globalPos());
    return QObject::eventFilter(watched, event);
}

bool AddressBoxes::keyPress(int i, QKeyEvent* event) {
    QLineEdit* box = m_boxes[i];
    if (event->matches(QKeySequence::Paste)) {
        if (!box->isReadOnly() && !pasteClipboard(i))
            box->paste(); // the ordinary paste (QLineEdit::paste ignores read-only itself)
        return true;
    }
    if (box->isReadOnly())
        return false;
    if (event->text() == QLatin1String(".")) {
        // The dot separates the boxes and is never entered; in a box still empty (just after a
        // third digit moved on) it has nothing to end.
        if (!box->text().isEmpty())
            moveTo(i + 1);
        return true;
    }
    const bool full = box->text().size() >= kOctetDigits && !box->hasSelectedText();
    if (isDigit(event->text()) && full && i + 1 < int(m_boxes.size())) {
        moveTo(i + 1);
        QKeyEvent copy(event->type(), event->key(), event->modifiers(), event->text());
        QApplication::sendEvent(m_boxes[i + 1], &copy);
        return true;
    }
    return false;
}

// A third digit typed at the end of a box completes it: the next box takes the typing on.
void AddressBoxes::edited(int i) {
    QLineEdit* box = m_boxes[i];
    if (m_spreading || box->text().size() < kOctetDigits ||
        box->cursorPosition() != box->text().size())
        return;
    moveTo(i + 1);
}

void AddressBoxes::moveTo(int i) {
    if (i >= int(m_boxes.size()))
        return;
    m_boxes[i]->setFocus(Qt::TabFocusReason);
    m_boxes[i]->selectAll(); // typing replaces what the box held, as after Tab
}

bool AddressBoxes::spread(int first, const QString& text) {
    const QString trimmed = text.trimmed();
    if (!trimmed.contains(QLatin1Char('.')) || m_boxes[first]->isReadOnly())
        return false;
    const QStringList parts = trimmed.split(QLatin1Char('.'));
    m_spreading = true;
    int last = first;
    for (int k = 0; k < parts.size() && first + k < int(m_boxes.size()); ++k) {
        last = first + k;
        QLineEdit* box = m_boxes[last];
        box->selectAll();
        box->insert(digitsOf(parts[k]).left(kOctetDigits)); // an edit of the operator's
    }
    m_spreading = false;
    m_boxes[last]->setFocus(Qt::OtherFocusReason);
    m_boxes[last]->deselect();
    m_boxes[last]->end(false);
    return true;
}

bool AddressBoxes::pasteClipboard(int i) {
    return spread(i, QApplication::clipboard()->text());
}

// The box's own menu, its "Paste" spreading a dotted address like Ctrl+V does.
bool AddressBoxes::showContextMenu(int i, const QPoint& globalPos) {
    QLineEdit* box = m_boxes[i];
    const std::unique_ptr<QMenu> menu(box->createStandardContextMenu());
    QAction* paste = menu->findChild<QAction*>(QStringLiteral("edit-paste"));
    if (!paste)
        return false; // Qt's own menu then
    disconnect(paste, &QAction::triggered, nullptr, nullptr);
    connect(paste, &QAction::triggered, box, [this, i, box] {
        if (!pasteClipboard(i))
            box->paste();
    });
    menu->exec(globalPos);
    return true;
}

} // namespace nodalyx
