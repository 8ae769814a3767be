#pragma once

#include "LoggerCodes.h"

#include <QByteArray>
#include <QtGlobal>

namespace nodalyx {

// The request frame to the logger: FF FF, the command code B1, six parameters B2..B7, the
// extra byte B8 and a checksum: 11 bytes, no length field, no escaping.

// XOR of the bytes, XORed with 141.
quint8 xorChecksum(const char* begin, const char* end);

// The 11 bytes of a request. b1..b8 are bytes 0..255 (callers check the range).
QByteArray CommandFrame(quint8 b1, quint8 b2, quint8 b3, quint8 b4, quint8 b5, quint8 b6, quint8 b7,
                        quint8 b8 = 0);

// A data reply: first byte 0xFF and the last byte equal to the checksum of the bytes from the
// second to the last but one.
bool CheckReply(const QByteArray& reply);

// Builds a data reply: FF, the second byte, the data and the checksum.
QByteArray DataReply(quint8 second, const QByteArray& data);

} // namespace nodalyx
