#pragma once

#include "UnitFrames.h"

#include <QByteArray>
#include <array>
#include <optional>
#include <utility>

namespace nodalyx::hw {

// The answers of the counting units. Each carries four counters of two bytes, read as
// high byte x 255 + low byte (255, not 256). A type 1 answer is 12 bytes, first byte 0x23,
// low byte first; a type 2 answer is 60 bytes, first byte 0xFF, the marker 0x22 0xF4 at
// bytes 40 and 41 (counted from 1), high byte first.

inline constexpr int kType1ReplySize = 12;
inline constexpr int kType2ReplySize = 60;
inline constexpr int kLongestReply = kType2ReplySize; // more waiting is never an answer
inline constexpr quint8 kMarkerA = 0x22;
inline constexpr quint8 kMarkerB = 0xF4;
// The largest value two counter bytes can carry: 255 x 255 + 254.
inline constexpr int kCounterLimit = 255 * 255 + 255;

using Counters = std::array<int, 4>;

// 12 for type 1, 60 for type 2, 0 for any other type.
int replySize(int type);

// The answer's first byte is that of its type (0x23 or 0xFF). The wait for an answer ends
// with the first one of the right length that passes this.
bool firstByteFits(int type, const QByteArray& reply);

int counterValue(quint8 high, quint8 low);

// c1..c4 of an answer of exactly 12 or 60 bytes that passes its checks (type 2 also the
// marker); nullopt for anything else. The type follows from the length.
std::optional<Counters> decodeReply(const QByteArray& reply);

// The bytes of a value v (0..kCounterLimit - 1) that read back as v: high v / 255, low
// v % 255. What a simulated unit sends.
std::pair<quint8, quint8> counterBytes(int value);

// A type 1 answer: 23, the address, 00, the four counters low byte first, and the sum of the
// eleven bytes before it.
QByteArray type1Reply(int address, const Counters& counters);

// A type 2 answer: FF FF 06, the unit code, zeros, the marker, the four counters high byte
// first, zeros, the type 2 checksum of bytes 3..57, 92 11.
QByteArray type2Reply(const UnitCode& code, const Counters& counters);

} // namespace nodalyx::hw
