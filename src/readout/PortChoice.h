#pragma once

#include "PortProbe.h"
#include "SerialPorts.h"

#include <QList>
#include <QString>
#include <optional>

namespace nodalyx {

// One item of a "Comm port" box: a port number (with what is known of its port), or an
// adapter present that has no number yet (number empty, device set).
struct PortItem {
    QString text;
    std::optional<int> number;
    QString device; // the adapter of an item without a number
};

// The items of a "Comm port" box: 1..16, each by its port's label where the list knows the
// number, then the other numbers the list knows, then the ports present without a number.
QList<PortItem> portItems(const QList<ListedPort>& listed);

// The port number a box's text stands for: "40", or an item's text "3 - /dev/ttyUSB0 - ...";
// nothing when it holds no number 1..255.
std::optional<int> portNumberOf(const QString& text);

// The lowest number 1..255 no port uses: neither mapped, nor set by NODALYX_COM<n>, nor the
// number of a port present (/dev/ttyS<n-1>); nothing when all are taken.
std::optional<int> lowestFreePortNumber(const QList<ListedPort>& listed);

// The one answer that is the location's logger; nothing when none or several are.
std::optional<ProbeAnswer> soleMatch(const QList<ProbeAnswer>& answers);

// One line of the list of answers: "3 - /dev/ttyUSB0: 00412345", "/dev/ttyUSB1: no answer",
// "/dev/ttyS0: skipped, in use".
QString answerText(const ProbeAnswer& answer);

} // namespace nodalyx
