#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

namespace nodalyx {
class Link;
}

namespace nodalyx::cli {

// One trace line: "hh:mm:ss.zzz -> FF FF 3B ..." for a frame sent, "<-" for bytes received.
QString traceLine(const QDateTime& when, bool sent, const QByteArray& bytes);

// Writes every frame the link sends and every piece it receives to stderr.
void traceToStderr(Link& link);

} // namespace nodalyx::cli
