#pragma once

#include <QString>

namespace nodalyx {

// How one wait for the logger's answer ended, as the communication log shows it.
enum class ExchangeOutcome {
    Ack,         // the logger acknowledged
    Nak,         // the logger refused
    ReplyOk,     // a data reply whose checksum holds
    ChecksumBad, // a data reply whose checksum does not hold
    Unreadable,  // a reply that came whole but cannot be read
    WrongLength, // bytes came, but not an answer of the length awaited
    NoAnswer,    // nothing within the time
    Lost,        // the connection went away during the wait
};

// "ACK", "NAK", "reply ok", "checksum bad", "reply unreadable", "reply wrong length",
// "no answer", "connection lost".
QString exchangeOutcomeText(ExchangeOutcome outcome);

} // namespace nodalyx
