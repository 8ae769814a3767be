#pragma once

#include <array>

#include "LoggerCodes.h"

#include <QByteArray>
#include <QtGlobal>

namespace nodalyx {

// The request frame to the logger: FF FF, the command code B1, six parameters B2..B7, the
// extra byte B8 and a checksum: 11 bytes, no length field, no escaping.

// One request as a value: the command code B1 and the bytes B2..B8.
struct Command {
    std::array<quint8, 8> bytes{};

    static Command of(quint8 code, quint8 b2 = 0, quint8 b3 = 0, quint8 b4 = 0, quint8 b5 = 0,
                      quint8 b6 = 0, quint8 b7 = 0, quint8 b8 = 0) {
        return Command{{code, b2, b3, b4, b5, b6, b7, b8}};
    }
    quint8 code() const { return bytes[0]; }
    friend bool operator==(const Command&, const Command&) = default;
};

// XOR of the bytes, XORed with 141.
quint8 xorChecksum(const char* begin, const char* end);

// The 11 bytes of a request. b1..b8 are bytes 0..255 (callers check the range).
QByteArray CommandFrame(quint8 b1, quint8 b2, quint8 b3, quint8 b4, quint8 b5, quint8 b6, quint8 b7,
                        quint8 b8 = 0);

// The 11 bytes of a request.
QByteArray CommandFrame(const Command& command);

// A data reply: first byte 0xFF and the last byte equal to the checksum of the bytes from the
// second to the last but one.
bool CheckReply(const QByteArray& reply);

// Builds a data reply: FF, the second byte, the data and the checksum.
QByteArray DataReply(quint8 second, const QByteArray& data);

} // namespace nodalyx
