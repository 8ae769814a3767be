#pragma once

#include "PortChoice.h"

#include <QString>
#include <optional>

class QComboBox;

namespace nodalyx {

class Operator;

// A "Comm port" box: the numbers 1..16 and the ports present with their description, an
// adapter present that has no number yet, and any number 1..255 typed in. Whatever it shows,
// what it gives the location is the number's text.
class PortBox {
public:
    explicit PortBox(QComboBox* box);

    // The items anew from the ports as the system and the port map list them now.
    void fill();
    void fill(const QList<PortItem>& items);
    // Shows the number's item, or the text as typed when there is none.
    void showNumber(const QString& number);
    // Selects the port of a probe's answer (its number, else its device).
    void select(const ProbeAnswer& answer);

    // The number's text (an item's number, or the text typed; empty for an adapter without a
    // number).
    QString numberText() const;
    // The adapter without a number that is chosen, or empty.
    QString chosenAdapter() const;

    // Before a save: an adapter without a number chosen gets the lowest free number (given as
    // text in number), otherwise number is numberText(). False, told to the operator, when no
    // number is free.
    bool numberForSave(QString& number, Operator& op) const;
    // After the location was saved with number: ties the chosen adapter to it in the port map
    // (systems without port numbers of their own). A failure is told to the operator.
    void mapChosenAdapter(const QString& number, Operator& op) const;

private:
    int indexOf(const QString& text) const;

    QComboBox* m_box;
};

} // namespace nodalyx
