#include "RxBuffer.h"

#include "CommandFrame.h"

namespace nodalyx {

int appendReceived(LinkState& link, const QByteArray& bytes, int limit) {
    const qsizetype room = std::max<qsizetype>(0, limit - link.RxBuffer.size());
    const qsizetype taken = std::min(room, bytes.size());
    link.RxBuffer.append(bytes.constData(), taken);
    if (!link.RxBuffer.isEmpty()) {
        const char first = link.RxBuffer.at(0);
        if (first == kAck)
            link.AckFlag = true;
        if (first == kNak)
            link.NakFlag = true;
    }
    return int(bytes.size() - taken);
}

} // namespace nodalyx
