#pragma once

#include "SharedState.h"

#include <QJsonObject>
#include <QString>

namespace nodalyx::cli {

// A loaded location for `show`: as one JSON object, or as readable text.
QJsonObject locationJson(const QString& name, const SharedState& state);
QString locationText(const QString& name, const SharedState& state);

} // namespace nodalyx::cli
