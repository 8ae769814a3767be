#pragma once

#include <QJsonObject>

namespace nodalyx::cli {

// The object with every string in it (values and the strings of arrays and nested objects,
// keys too) made printable as the text output shows it: a control character from the logger
// or a file becomes \xNN, which JSON then writes as "\\xNN".
QJsonObject printableJson(const QJsonObject& object);

} // namespace nodalyx::cli
