#include "ExchangeOutcome.h"

namespace nodalyx {

QString exchangeOutcomeText(ExchangeOutcome outcome) {
    switch (outcome) {
    case ExchangeOutcome::Ack:
        return QStringLiteral("ACK");
    case ExchangeOutcome::Nak:
        return QStringLiteral("NAK");
    case ExchangeOutcome::ReplyOk:
        return QStringLiteral("reply ok");
    case ExchangeOutcome::ChecksumBad:
        return QStringLiteral("checksum bad");
    case ExchangeOutcome::Unreadable:
        return QStringLiteral("reply unreadable");
    case ExchangeOutcome::WrongLength:
        return QStringLiteral("reply wrong length");
    case ExchangeOutcome::NoAnswer:
        return QStringLiteral("no answer");
    case ExchangeOutcome::Lost:
        break;
    }
    return QStringLiteral("connection lost");
}

} // namespace nodalyx
