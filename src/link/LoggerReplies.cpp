#include "LoggerReplies.h"
#include "TextConvert.h"

#include "CommandFrame.h"

namespace nodalyx {

namespace {
bool startsWithSync(const QByteArray& reply) {
    return !reply.isEmpty() && quint8(reply.at(0)) == kSync;
}

int byteAt(const QByteArray& bytes, int index) {
    return quint8(bytes.at(index));
}

QString word(const QByteArray& bytes, int index) {
    return QString::number(byteAt(bytes, index) * 256 + byteAt(bytes, index + 1));
}
} // namespace

QString wireText(const QByteArray& bytes) {
    return QString::fromLatin1(bytes);
}

std::optional<LoggerClock> decodeClockReply(const QByteArray& reply) {
    if (reply.size() < 8 || !startsWithSync(reply))
        return std::nullopt;
    LoggerClock clock;
    clock.hour = byteAt(reply, 2);
    clock.minute = byteAt(reply, 3);
    clock.year = byteAt(reply, 4);
    clock.month = byteAt(reply, 5);
    clock.day = byteAt(reply, 6);
    clock.weekday = byteAt(reply, 7);
    return clock;
}

std::optional<QString> decodeSerialReply(const QByteArray& reply) {
    if (!startsWithSync(reply))
        return std::nullopt;
    return trimBlanks(wireText(reply.mid(2, 10)));
}

bool decodeCounterReply(const QByteArray& reply, UnitTable& table) {
    if (reply.size() < 2 + kUnitsPerHighway * kCounterBlockSize)
        return false;
    for (int i = 1; i <= kUnitsPerHighway; ++i) {
        const int b = 2 + kCounterBlockSize * (i - 1);
        UnitConfig& unit = table[i];
        unit.Live1 = word(reply, b);
        unit.Live2 = word(reply, b + 2);
        unit.In2 = word(reply, b + 4);
        unit.Out2 = word(reply, b + 6);
        unit.In1 = word(reply, b + 8);
        unit.Out1 = word(reply, b + 10);
    }
    return true;
}

} // namespace nodalyx
