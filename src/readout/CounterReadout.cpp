#include "CounterReadout.h"
#include "PrintableText.h"
#include "TextConvert.h"

#include "LoggerCodes.h"
#include "LoggerReplies.h"

namespace nodalyx {

namespace {
std::optional<QString> nonZero(const QString& count) {
    bool ok = false;
    const qlonglong value = count.trimmed().toLongLong(&ok);
    if (!ok || value == 0)
        return std::nullopt;
    return count;
}

// Sends the memory read of one highway and decodes the reply into its table.
bool readHighway(SharedState& state, Link& link, int highway) {
    if (!link.SendCommand(counterRequest(highway)))
        return false;
    if (!link.WaitReply(kCounterReplySize))
        return false;
    return decodeCounterReply(link.rxBuffer(), state.table(highway));
}
} // namespace

Command counterRequest(int highway) {
    const int first = highway == 2 ? 0x6400 : 0x6000;
    const int last = first + 0x300;
    return Command::of(cmd::ReadMemory, 0, 0, quint8(last & 0xFF), quint8(last >> 8),
                       quint8(first & 0xFF), quint8(first >> 8));
}

SessionPolicy refreshPolicy() {
    SessionPolicy policy;
    policy.serial = SessionPolicy::Serial::WakeThenCompare;
    policy.failureText = [](const Link& link) { return link.connectionFailedText(); };
    return policy;
}

RefreshOutcome RefreshFromLogger(SharedState& state, Link& link, Operator& op) {
    RefreshOutcome outcome;
    LoggerSession session(link, op, state.settings, refreshPolicy());
    if (session.start() != LoggerSession::Start::Ready)
        return outcome;
    outcome.highway1Read = readHighway(state, link, 1);
    outcome.highway2Read = readHighway(state, link, 2);
    outcome.countersRead = true;
    return outcome;
}

std::array<std::optional<QString>, 4> countColumns(const UnitConfig& unit) {
    std::array<std::optional<QString>, 4> columns;
    columns[0] = nonZero(unit.In1);
    columns[1] = nonZero(unit.Out1);
    if (!trimBlanks(unit.HWaddress).isEmpty()) {
        columns[2] = nonZero(unit.In2);
        columns[3] = nonZero(unit.Out2);
    }
    return columns;
}

} // namespace nodalyx
