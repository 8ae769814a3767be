#pragma once

#include <QObject>

class QLineEdit;

namespace nodalyx {

// Key-press filters of the text boxes. Each takes the character code of a pressed key and
// answers it unchanged when it is a control code (26 or less) or in the allowed set
// (case-sensitive); otherwise 0, which swallows the key.
int FilterDigits(int key);    // "0123456789"
int FilterTimeChars(int key); // digits and ":"
int FilterHexChars(int key);  // digits, a-f, A-F
int FilterNameChars(int key); // letters, digits, "-" and "_"

using KeyFilterFunction = int (*)(int);

// Applies one key filter to a line edit: typed characters the filter swallows never reach
// the box. Keys without a character (arrows, Tab, Delete) pass.
class KeyFilter : public QObject {
    Q_OBJECT
public:
    KeyFilter(KeyFilterFunction filter, QObject* parent);
    // Installs a filter owned by the box itself.
    static void install(QLineEdit* box, KeyFilterFunction filter);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    KeyFilterFunction m_filter;
};

} // namespace nodalyx
