#pragma once

// The vocabulary of the logger's command protocol, shared by the tool's link and the logger
// simulator (which computes its checksums on its own, as an independent check). Header only:
// constants, no code.

#include <QtGlobal>

namespace nodalyx {

// A request frame is FF FF, the command code B1, parameters B2..B7, the extra byte B8 and a
// checksum: 11 bytes. A data reply starts with the same FF; an acknowledgement is one byte.
inline constexpr int kFrameSize = 11;
inline constexpr quint8 kSync = 0xFF;
inline constexpr quint8 kChecksumSeed = 0x8D; // 141
inline constexpr char kAck = 6;
inline constexpr char kNak = 21;

// Command codes (B1).
namespace cmd {
inline constexpr int SetClock = 1;
inline constexpr int ReadClock = 2;
inline constexpr int ReadMemory = 3;
inline constexpr int SetStartStop = 7;
inline constexpr int ReadNetwork = 51; // IP address, subnet mask and gateway in one reply
inline constexpr int SetIpAddress = 52;
inline constexpr int SetSubnetMask = 53;
inline constexpr int SetGateway = 54;
inline constexpr int ReadPort = 55;
inline constexpr int SetPort = 56;
inline constexpr int ReadMac = 57;
inline constexpr int ReadSerial = 59;
inline constexpr int SetInterval = 61;
inline constexpr int ReadHostName = 63;
inline constexpr int ReadDhcpAddress = 65;
inline constexpr int ReadDhcp = 66;
// The texts: code, name, place, extensions 1..4. Each odd code reads what the even code one
// higher writes.
inline constexpr int ReadCode = 101;
inline constexpr int WriteCode = 102;
inline constexpr int ReadName = 103;
inline constexpr int WriteName = 104;
inline constexpr int ReadPlace = 105;
inline constexpr int WritePlace = 106;
inline constexpr int ReadExtension1 = 107;
inline constexpr int WriteExtension1 = 108;
inline constexpr int ReadExtension2 = 109;
inline constexpr int WriteExtension2 = 110;
inline constexpr int ReadExtension3 = 111;
inline constexpr int WriteExtension3 = 112;
inline constexpr int ReadExtension4 = 113;
inline constexpr int WriteExtension4 = 114;
} // namespace cmd

// Reply lengths that are known in full: FF, the second byte, the data, the checksum.
inline constexpr int kClockReplySize = 9;    // six data bytes
inline constexpr int kClockReplyMinimum = 8; // a clock reply is read once this much is in
inline constexpr int kSerialReplySize = 13;  // ten characters

} // namespace nodalyx
