#pragma once

#include "CommandFrame.h"

#include <QByteArray>
#include <QString>
#include <array>
#include <optional>

namespace nodalyx {

// The requests of the remote-settings queries and the pure decoding of their replies. A data
// reply is FF, one more byte, the data from position 3 (1-based) and a check byte, which no
// query looks at. Every decoder answers nullopt when the reply does not start with FF or is
// too short for the bytes it takes.

// A query is a Command; its B8 is 0 for every one of them.
using QueryRequest = Command;

// Memory read of day d (1 = Sunday .. 7 = Saterday): first 4·d + 6, last first + 4.
QueryRequest dayRequest(int day);
// Memory read of the interval: first 9, last 10.
QueryRequest intervalRequest();
// A query with no parameters (51, 55, 57, 59, 63, 65, 101 .. 113).
QueryRequest plainRequest(int code);

// The fixed lengths of the two memory reads: 5 bytes and 2 bytes plus 3.
inline constexpr int kDayReplySize = 8;
inline constexpr int kIntervalReplySize = 5;

// "07:00": both numbers in (at least) two decimal digits.
QString timeText(int hour, int minute);

struct DayTimes {
    QString start;
    QString stop;
};
// Bytes 3, 4 the start, 5, 6 the stop.
std::optional<DayTimes> decodeDayReply(const QByteArray& reply);

// The interval rule: the minutes as decimal text, "30" when not one of 5, 10, 15, 30, 60.
QString intervalText(int minutes);
std::optional<QString> decodeIntervalReply(const QByteArray& reply);
// The minutes the logger holds, whatever the window's box can show.
std::optional<int> decodeIntervalMinutes(const QByteArray& reply);

// Four octets from position `first` (3 for the IP address, 7 the mask, 11 the gateway), each
// as decimal text.
std::optional<std::array<QString, 4>> decodeOctets(const QByteArray& reply, int first);

// Byte 3 × 256 + byte 4, an unsigned number 0..65535.
std::optional<QString> decodePortReply(const QByteArray& reply);

// Bytes 3..8 in upper-case hexadecimal without leading zeros; elements 2..5 are padded to two
// digits, elements 0 and 1 are not (00-1A-0B-.. shows as 0, 1A, 0B, ..).
std::optional<std::array<QString, 6>> decodeMacReply(const QByteArray& reply);

// Up to maximum characters from position 3, up to a 0 byte (see locationText), blanks at both
// ends removed (host name 20, serial number 10).
std::optional<QString> decodeTrimmedText(const QByteArray& reply, int maximum);

// The text of a location text reply, first byte not checked: up to count characters from
// position 3, blanks kept. The logger fills unused characters with 0 bytes: the text ends at
// the first of them.
QString locationText(const QByteArray& buffer, int count);

} // namespace nodalyx
