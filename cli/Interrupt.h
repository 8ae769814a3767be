#pragma once

#include <QObject>
#include <QString>
#include <functional>

namespace nodalyx::cli {

// Turns the first Ctrl-C into a call of onInterrupt from the event loop (after notice is
// printed on stderr), so a command can end its work in an orderly way; a second Ctrl-C ends
// the program at once. The handler lives as long as owner. Does nothing where there are no
// POSIX signals.
void onFirstInterrupt(QObject* owner, const QString& notice, std::function<void()> onInterrupt);

} // namespace nodalyx::cli
