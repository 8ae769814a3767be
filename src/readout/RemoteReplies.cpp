#include "RemoteReplies.h"

#include "CommandFrame.h"
#include "TextConvert.h"

namespace nodalyx {

namespace {

constexpr int kMemoryRead = 3;
constexpr int kIntervalAddress = 9;

// The byte at 1-based position p.
int at(const QByteArray& reply, int p) {
    return quint8(reply.at(p - 1));
}

// Starts with FF and holds at least `size` bytes.
bool usable(const QByteArray& reply, int size) {
    return reply.size() >= size && quint8(reply.at(0)) == kSync;
}

QueryRequest memoryRequest(int first, int last) {
    return Command::of(quint8(kMemoryRead), 0, 0, quint8(last & 0xFF), quint8(last >> 8),
                       quint8(first & 0xFF), quint8(first >> 8));
}

} // namespace

QueryRequest dayRequest(int day) {
    const int first = 4 * day + 6;
    return memoryRequest(first, first + 4);
}

QueryRequest intervalRequest() {
    return memoryRequest(kIntervalAddress, kIntervalAddress + 1);
}

QueryRequest plainRequest(int code) {
    return Command::of(quint8(code));
}

QString timeText(int hour, int minute) {
    return QStringLiteral("%1:%2")
        .arg(hour, 2, 10, QLatin1Char('0'))
        .arg(minute, 2, 10, QLatin1Char('0'));
}

std::optional<DayTimes> decodeDayReply(const QByteArray& reply) {
    if (!usable(reply, 6))
        return std::nullopt;
    return DayTimes{timeText(at(reply, 3), at(reply, 4)), timeText(at(reply, 5), at(reply, 6))};
}

QString intervalText(int minutes) {
    switch (minutes) {
    case 5:
    case 10:
    case 15:
    case 30:
    case 60:
        return QString::number(minutes);
    default:
        return QStringLiteral("30");
    }
}

std::optional<int> decodeIntervalMinutes(const QByteArray& reply) {
    if (!usable(reply, 3))
        return std::nullopt;
    return at(reply, 3);
}

std::optional<QString> decodeIntervalReply(const QByteArray& reply) {
    const std::optional<int> minutes = decodeIntervalMinutes(reply);
    return minutes ? std::optional(intervalText(*minutes)) : std::nullopt;
}

std::optional<std::array<QString, 4>> decodeOctets(const QByteArray& reply, int first) {
    if (!usable(reply, first + 3))
        return std::nullopt;
    std::array<QString, 4> octets;
    for (int i = 0; i < 4; ++i)
        octets[i] = QString::number(at(reply, first + i));
    return octets;
}

std::optional<QString> decodePortReply(const QByteArray& reply) {
    if (!usable(reply, 4))
        return std::nullopt;
    return QString::number(at(reply, 3) * 256 + at(reply, 4));
}

std::optional<std::array<QString, 6>> decodeMacReply(const QByteArray& reply) {
    if (!usable(reply, 8))
        return std::nullopt;
    std::array<QString, 6> mac;
    for (int i = 0; i < 6; ++i) {
        mac[i] = QString::number(at(reply, 3 + i), 16).toUpper();
        if (i >= 2 && mac[i].size() == 1)
            mac[i].prepend(QLatin1Char('0'));
    }
    return mac;
}

std::optional<QString> decodeTrimmedText(const QByteArray& reply, int maximum) {
    if (!usable(reply, 1))
        return std::nullopt;
    return trimBlanks(locationText(reply, maximum));
}

QString locationText(const QByteArray& buffer, int count) {
    QByteArray bytes = buffer.mid(2, count);
    const qsizetype end = bytes.indexOf('\0');
    if (end >= 0)
        bytes.truncate(end);
    return QString::fromLatin1(bytes);
}

} // namespace nodalyx
