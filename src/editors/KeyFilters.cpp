#include "KeyFilters.h"

#include <QKeyEvent>
#include <QLineEdit>

namespace nodalyx {

namespace {

int filterBy(int key, QLatin1StringView allowed) {
    if (key <= 26)
        return key;
    if (key > 127 || !allowed.contains(QLatin1Char(char(key))))
        return 0;
    return key;
}

} // namespace

int FilterDigits(int key) {
    return filterBy(key, QLatin1StringView("0123456789"));
}

int FilterTimeChars(int key) {
    return filterBy(key, QLatin1StringView("0123456789:"));
}

int FilterHexChars(int key) {
    return filterBy(key, QLatin1StringView("0123456789abcdefABCDEF"));
}

int FilterNameChars(int key) {
    return filterBy(
        key, QLatin1StringView("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789-_"));
}

KeyFilter::KeyFilter(KeyFilterFunction filter, QObject* parent)
    : QObject(parent), m_filter(filter) {}

void KeyFilter::install(QLineEdit* box, KeyFilterFunction filter) {
    box->installEventFilter(new KeyFilter(filter, box));
}

bool KeyFilter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress)
        return QObject::eventFilter(watched, event);
    const QString text = static_cast<QKeyEvent*>(event)->text();
    if (text.isEmpty())
        return false; // no character: navigation and editing keys
    // Escape and Delete carry control characters too; they edit or close, they type nothing.
    if (text.size() == 1 && (text[0].unicode() < 32 || text[0].unicode() == 127))
        return false;
    for (const QChar c : text) {
        if (m_filter(c.unicode()) == 0)
            return true; // swallowed
    }
    return false;
}

} // namespace nodalyx
