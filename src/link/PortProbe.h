#pragma once

#include "SerialPorts.h"

#include <QList>
#include <QString>
#include <functional>
#include <optional>

namespace nodalyx {

class Cancellation;

// What one port said when asked for the logger's serial number.
struct ProbeAnswer {
    QString device;
    std::optional<int> number;
    std::optional<QString> serial; // nothing when no logger answered
    QString skipped;               // why it was not asked (in use, no permission), or empty
    std::optional<bool> matches;   // with a location: the answer holds its eSerialnumber
};

// Asks each port in turn for the logger's serial number at 19200 8N1 (the serial-number
// exchange, with its 5 s limit), skipping one that cannot be opened; a silent port costs the
// limit, one that answers its exchange only. expected: the location's eSerialnumber
// (nullopt: no location; an empty one: any logger that answers is it). progress is told
// before each port (index from 0, total, device); cancel is looked at between ports, and
// the ports not asked are left out of the answer.
using ProbeProgress = std::function<void(int index, int total, const QString& device)>;
QList<ProbeAnswer> probePorts(const QList<ListedPort>& ports,
                              const std::optional<QString>& expected,
                              const Cancellation* cancel = nullptr,
                              const ProbeProgress& progress = {});

// The answers whose logger is the location's.
QList<ProbeAnswer> matchingAnswers(const QList<ProbeAnswer>& answers);

} // namespace nodalyx
