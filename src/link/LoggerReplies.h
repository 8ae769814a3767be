#pragma once

#include "LoggerClock.h"
#include "UnitConfig.h"

#include <QByteArray>
#include <QString>
#include <optional>

namespace nodalyx {

// Decoders of the logger's data replies. A data reply is FF, one more byte, the data from
// the third byte on, and a checksum; the decoders only look at the bytes they need.

// Clock reply: hour, minute, year - 2000, month, day, weekday at bytes 3..8. Needs at least
// 8 bytes and a leading FF.
std::optional<LoggerClock> decodeClockReply(const QByteArray& reply);

// Serial-number reply: up to 10 characters from byte 3, blanks at both ends removed.
// Empty optional when the reply does not start with FF.
std::optional<QString> decodeSerialReply(const QByteArray& reply);

// A counter memory read: 64 blocks of 12 bytes from byte 3 (six 16-bit values, high byte
// first: Live1, Live2, In2, Out2, In1, Out1) into entries 1..64 of the table as decimal text.
// False, table untouched, when the reply is shorter than 2 + 768 bytes.
inline constexpr int kCounterBlockSize = 12;
inline constexpr int kCounterReplySize = 772; // FF, byte, 769 memory bytes, checksum
bool decodeCounterReply(const QByteArray& reply, UnitTable& table);

// The text of a byte string, one character per byte.
QString wireText(const QByteArray& bytes);

} // namespace nodalyx
