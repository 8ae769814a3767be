// The decoders of the logger's replies and the reply assembler, on any bytes arriving in any
// pieces: no crash, the buffer stays within its limit, and the assembler's verdict agrees
// with its rule.
#include "CommandFrame.h"
#include "FuzzCheck.h"
#include "LoggerReplies.h"
#include "ReplyAssembler.h"

#include <cstdint>

using namespace nodalyx;

namespace {
ReplyRule ruleFor(uint8_t selector, uint8_t length) {
    const int n = length % 40 + 1;
    switch (selector % 5) {
    case 0:
        return ReplyRule::ack();
    case 1:
        return ReplyRule::exactly(n);
    case 2:
        return ReplyRule::atLeast(n);
    case 3:
        return ReplyRule::whole(n / 2 + 1, n);
    default:
        return ReplyRule::raw(n);
    }
}

void decodeAll(const QByteArray& reply) {
    if (const auto clock = decodeClockReply(reply))
        FUZZ_CHECK(reply.size() >= 8 && quint8(reply.at(0)) == kSync);
    if (const auto serial = decodeSerialReply(reply))
        FUZZ_CHECK(serial->size() <= 10);
    UnitTable table{};
    const bool counters = decodeCounterReply(reply, table);
    if (reply.size() < 2 + 768)
        FUZZ_CHECK(!counters);
    if (counters)
        FUZZ_CHECK(table[1].In1.toInt() <= 65535 && table[64].Out1.toInt() <= 65535);
    (void)CheckReply(reply);
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 3)
        return 0;
    const ReplyRule rule = ruleFor(data[0], data[1]);
    const int pieceSize = data[2] % 16 + 1;
    const QByteArray bytes(reinterpret_cast<const char*>(data + 3), qsizetype(size - 3));
    decodeAll(bytes);

    ReplyAssembler rx(4096);
    rx.expect(rule);
    qsizetype dropped = 0;
    for (qsizetype at = 0; at < bytes.size(); at += pieceSize)
        dropped += rx.append(bytes.mid(at, pieceSize));
    const QByteArray& buffer = rx.buffer();
    FUZZ_CHECK(buffer.size() <= 4096);
    FUZZ_CHECK(dropped == rx.overflow());
    FUZZ_CHECK(buffer.size() + rx.skipped() + rx.overflow() == bytes.size());
    if (rule.wantsSync() && !buffer.isEmpty())
        FUZZ_CHECK(quint8(buffer.at(0)) == kSync);
    const auto status = rx.status();
    if (rule.kind == ReplyRule::Kind::Exactly)
        FUZZ_CHECK((status == ReplyAssembler::Status::Complete) == (buffer.size() == rule.length));
    if (rule.kind == ReplyRule::Kind::Ack)
        FUZZ_CHECK((status == ReplyAssembler::Status::Complete) == (rx.ack() && !rx.nak()));
    decodeAll(buffer);
    return 0;
}
