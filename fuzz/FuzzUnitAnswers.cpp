// What a highway's units send back, on any bytes: the answer decoder never crashes, takes only
// answers of exactly 12 or 60 bytes, and gives counters within two bytes' range; the poll
// reader of the unit simulator finds its way through any stream.
#include "FuzzCheck.h"
#include "UnitReplies.h"

#include <cstdint>

using namespace nodalyx::hw;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    if (const auto counters = decodeReply(bytes)) {
        FUZZ_CHECK(bytes.size() == kType1ReplySize || bytes.size() == kType2ReplySize);
        for (int c : *counters)
            FUZZ_CHECK(c >= 0 && c <= 255 * 255 + 255);
    }
    for (int type : {1, 2})
        (void)firstByteFits(type, bytes);
    QByteArray stream = bytes;
    int polls = 0;
    while (const auto poll = takePoll(stream)) {
        FUZZ_CHECK(++polls <= bytes.size()); // every poll uses up bytes: no endless loop
        (void)poll;
    }
    FUZZ_CHECK(stream.size() <= bytes.size());
    return 0;
}
