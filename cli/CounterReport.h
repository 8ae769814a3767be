#pragma once

#include "SharedState.h"

#include <QJsonObject>
#include <QString>

namespace nodalyx::cli {

// The live counters of both highways after a read-out.
// JSON: {"highways": {"1": [64 objects], "2": [...]}}, each object {"Address": bus address,
// "Live1", "Live2", "In1", "Out1", "In2", "Out2": the texts the tables hold}.
QJsonObject countersJson(const SharedState& state);
// A table per highway of the units with any count: address, In 1, Out 1, In 2, Out 2.
QString countersText(const SharedState& state);

} // namespace nodalyx::cli
