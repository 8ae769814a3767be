#include "UnitReplies.h"

#include <algorithm>

namespace nodalyx::hw {

namespace {
// Positions counted from 0: the first counter byte of each counter.
constexpr int kType1Counters = 3; // low, high of c1 at 3, 4; c2 at 5, 6; ...
constexpr int kType2Marker = 39;
constexpr int kType2Counters = 41; // high, low of c1 at 41, 42; c2 at 43, 44; ...
constexpr quint8 kType2Answer = 0x06;

quint8 at(const QByteArray& bytes, int position) {
    return quint8(bytes[position]);
}
} // namespace

int replySize(int type) {
    switch (type) {
    case 1:
        return kType1ReplySize;
    case 2:
        return kType2ReplySize;
    default:
        return 0;
    }
}

bool firstByteFits(int type, const QByteArray& reply) {
    if (reply.isEmpty())
        return false;
    return type == 1 ? at(reply, 0) == kType1Poll : type == 2 && at(reply, 0) == 0xFF;
}

int counterValue(quint8 high, quint8 low) {
    return high * 255 + low;
}

std::optional<Counters> decodeReply(const QByteArray& reply) {
    Counters c{};
    if (reply.size() == kType2ReplySize) {
        if (!firstByteFits(2, reply) || at(reply, kType2Marker) != kMarkerA ||
            at(reply, kType2Marker + 1) != kMarkerB)
            return std::nullopt;
        for (int k = 0; k < 4; ++k)
            c[k] = counterValue(at(reply, kType2Counters + 2 * k),
                                at(reply, kType2Counters + 2 * k + 1));
        return c;
    }
    if (reply.size() == kType1ReplySize && firstByteFits(1, reply)) {
        for (int k = 0; k < 4; ++k)
            c[k] = counterValue(at(reply, kType1Counters + 2 * k + 1),
                                at(reply, kType1Counters + 2 * k));
        return c;
    }
    return std::nullopt;
}

std::pair<quint8, quint8> counterBytes(int value) {
    const int v = std::clamp(value, 0, kCounterLimit - 1);
    return {quint8(v / 255), quint8(v % 255)};
}

QByteArray type1Reply(int address, const Counters& counters) {
    QByteArray reply;
    reply.append(char(kType1Poll)).append(char(quint8(address))).append(char(0));
    for (int value : counters) {
        const auto [high, low] = counterBytes(value);
        reply.append(char(low)).append(char(high));
    }
    quint8 sum = 0;
    for (char b : reply)
        sum = quint8(sum + quint8(b));
    return reply.append(char(sum));
}

QByteArray type2Reply(const UnitCode& code, const Counters& counters) {
    QByteArray reply(kType2ReplySize, char(0));
    reply[0] = reply[1] = char(0xFF);
    reply[2] = char(kType2Answer);
    for (int k = 0; k < kUnitCodeSize; ++k)
        reply[3 + k] = char(code[k]);
    reply[kType2Marker] = char(kMarkerA);
    reply[kType2Marker + 1] = char(kMarkerB);
    for (int k = 0; k < 4; ++k) {
        const auto [high, low] = counterBytes(counters[k]);
        reply[kType2Counters + 2 * k] = char(high);
        reply[kType2Counters + 2 * k + 1] = char(low);
    }
    reply[57] = char(type2Checksum(reply.constData() + 2, reply.constData() + 57));
    reply[58] = char(kType2TrailerA);
    reply[59] = char(kType2TrailerB);
    return reply;
}

} // namespace nodalyx::hw
