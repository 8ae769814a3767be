#pragma once

#include <QString>

namespace nodalyx {

// One field of a CSV line: quoted (its quotes doubled) when it holds a comma, a quote or a
// line break; as it is otherwise.
QString csvField(const QString& text);

} // namespace nodalyx
