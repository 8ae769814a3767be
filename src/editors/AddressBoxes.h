#pragma once

#include <QObject>
#include <array>

class QKeyEvent;
class QLineEdit;

namespace nodalyx {

// The four boxes of one dotted address, left to right, typed like one field: a "." ends a box
// that holds digits and moves to the next (it is never entered), a digit that completes three
// digits is entered and then moves on, and a digit typed into a full box goes on into the next
// one. A text with dots pasted into a box spreads its parts over that box and the ones after
// it. Install it after the boxes' key filters, so it sees the "." the digit filter swallows.
class AddressBoxes : public QObject {
    Q_OBJECT
public:
    using Boxes = std::array<QLineEdit*, 4>;
    AddressBoxes(const Boxes& boxes, QObject* parent);
    // Links the boxes; the helper is owned by the first box.
    static void install(const Boxes& boxes);

    // Puts the dotted `text` into the boxes from box `first` on; false, changing nothing, when
    // the text has no dot or the box is read-only.
    bool spread(int first, const QString& text);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int indexOf(const QObject* box) const;
    bool keyPress(int i, QKeyEvent* event);
    void edited(int i);
    bool pasteClipboard(int i);
    bool showContextMenu(int i, const QPoint& globalPos);
    void moveTo(int i);

    Boxes m_boxes;
    bool m_spreading = false;
};

} // namespace nodalyx
