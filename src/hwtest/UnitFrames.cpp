#include "UnitFrames.h"

namespace nodalyx::hw {

namespace {
int hexDigit(QChar c) {
    const ushort u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    return -1;
}

bool isType1Poll(const QByteArray& s) {
    return quint8(s[0]) == kType1Poll && quint8(s[1]) < 64 &&
           quint8(s[2]) == quint8(kType1Poll + quint8(s[1]));
}

bool isType2Poll(const QByteArray& s) {
    return quint8(s[0]) == 0xFF && quint8(s[1]) == 0xFF && quint8(s[2]) == kType2Command &&
           quint8(s[17]) == type2Checksum(s.constData() + 2, s.constData() + 17) &&
           quint8(s[18]) == kType2TrailerA && quint8(s[19]) == kType2TrailerB;
}

// The length of the poll the stream may begin with; 0 when it cannot begin one.
int possiblePoll(const QByteArray& s) {
    const quint8 first = quint8(s[0]);
    if (first == kType1Poll)
        return kType1PollSize;
    if (first != 0xFF)
        return 0;
    if (s.size() >= 2 && quint8(s[1]) != 0xFF)
        return 0;
    if (s.size() >= 3 && quint8(s[2]) != kType2Command)
        return 0;
    return kType2PollSize;
}
} // namespace

quint8 hexPairValue(QStringView pair) {
    int value = 0;
    for (qsizetype k = 0; k < std::min<qsizetype>(2, pair.size()); ++k) {
        const int digit = hexDigit(pair[k]);
        if (digit < 0)
            break;
        value = value * 16 + digit;
    }
    return quint8(value);
}

UnitCode unitCodeBytes(const QString& HWaddress) {
    UnitCode code{};
    for (int k = 0; k < kUnitCodeSize; ++k)
        code[k] = hexPairValue(QStringView(HWaddress).mid(2 * k, 2));
    return code;
}

QByteArray type1Poll(int address) {
    const quint8 a = quint8(address);
    const char frame[] = {char(kType1Poll), char(a), char(quint8(kType1Poll + a))};
    return QByteArray(frame, kType1PollSize);
}

quint8 type2Checksum(const char* begin, const char* end) {
    quint8 cs = kType2ChecksumSeed;
    for (const char* p = begin; p != end; ++p)
        cs ^= quint8(*p);
    return cs;
}

QByteArray type2Poll(const UnitCode& code) {
    QByteArray frame;
    frame.reserve(kType2PollSize);
    frame.append(char(0xFF)).append(char(0xFF)).append(char(kType2Command));
    for (quint8 b : code)
        frame.append(char(b));
    frame.append(7, char(0x01)).append(char(0x00));
    frame.append(char(type2Checksum(frame.constData() + 2, frame.constData() + frame.size())));
    frame.append(char(kType2TrailerA)).append(char(kType2TrailerB));
    return frame;
}

QByteArray type2Poll(const QString& HWaddress) {
    return type2Poll(unitCodeBytes(HWaddress));
}

std::optional<UnitPoll> takePoll(QByteArray& stream) {
    while (!stream.isEmpty()) {
        const int length = possiblePoll(stream);
        if (length == 0) {
            stream.remove(0, 1);
            continue;
        }
        if (stream.size() < length)
            return std::nullopt; // wait for the rest
        if (length == kType1PollSize && isType1Poll(stream)) {
            UnitPoll poll{1, quint8(stream[1]), {}};
            stream.remove(0, length);
            return poll;
        }
        if (length == kType2PollSize && isType2Poll(stream)) {
            UnitPoll poll{2, 0, {}};
            for (int k = 0; k < kUnitCodeSize; ++k)
                poll.code[k] = quint8(stream[3 + k]);
            stream.remove(0, length);
            return poll;
        }
        stream.remove(0, 1); // looked like a poll but is none: try from the next byte
    }
    return std::nullopt;
}

} // namespace nodalyx::hw
