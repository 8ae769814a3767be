#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>
#include <array>
#include <optional>

namespace nodalyx::hw {

// The polls the PC sends to the counting units of a highway (9600 baud). A type 1 unit is
// asked by its bus address, a type 2 unit by its six-byte unit code.

inline constexpr quint8 kType1Poll = 0x23; // '#', also the first byte of a type 1 answer
inline constexpr int kType1PollSize = 3;
inline constexpr int kType2PollSize = 20;
inline constexpr quint8 kType2Command = 0x05;
inline constexpr quint8 kType2ChecksumSeed = 0x86;
inline constexpr quint8 kType2TrailerA = 0x92;
inline constexpr quint8 kType2TrailerB = 0x11;
inline constexpr int kUnitCodeSize = 6;

using UnitCode = std::array<quint8, kUnitCodeSize>;

// A pair of characters of a unit code as a hexadecimal number, counted as far as its
// leading hexadecimal digits go: "A1" 0xA1, "7Z" 7, "Z7" 0, "" 0.
quint8 hexPairValue(QStringView pair);

// The six bytes of a unit code text: characters 1-2, 3-4, ..., 11-12, each by hexPairValue.
// Missing characters count as 0.
UnitCode unitCodeBytes(const QString& HWaddress);

// 0x23, the address (0..63), 0x23 + address.
QByteArray type1Poll(int address);

// FF FF 05, the unit code, seven 01, 00, the checksum (0x86 XOR the bytes 05 .. 00), 92 11.
QByteArray type2Poll(const UnitCode& code);
QByteArray type2Poll(const QString& HWaddress);

// 0x86 XOR the bytes: the type 2 checksum, for polls and answers alike.
quint8 type2Checksum(const char* begin, const char* end);

// A poll as a unit hears it.
struct UnitPoll {
    int type = 0;    // 1 or 2
    int address = 0; // type 1: the bus address
    UnitCode code{}; // type 2: the unit code
};

// Takes the first complete poll from the front of `stream` (what a unit has heard so far).
// Bytes that cannot begin a poll are dropped; an incomplete poll stays for more bytes.
std::optional<UnitPoll> takePoll(QByteArray& stream);

} // namespace nodalyx::hw
