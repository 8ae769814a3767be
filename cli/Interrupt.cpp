#include "Interrupt.h"

#include "SignalPipe.h"

#include <QTextStream>

namespace nodalyx::cli {

void onFirstInterrupt(QObject* owner, const QString& notice, std::function<void()> onInterrupt) {
    auto* pipe = new SignalPipe(SignalPipe::Watch::InterruptOnce, owner);
    QObject::connect(pipe, &SignalPipe::received, owner,
                     [notice, onInterrupt = std::move(onInterrupt)] {
                         QTextStream(stderr) << notice << Qt::endl;
                         onInterrupt();
                     });
}

} // namespace nodalyx::cli
