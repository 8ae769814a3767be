#include "WriteRequests.h"

#include "LoggerCodes.h"

namespace nodalyx {

namespace {

constexpr int kTextBytes = 10;

quint8 at(const QByteArray& bytes, int index) {
    return quint8(bytes.at(index));
}

} // namespace

QByteArray textBuffer(const QString& text) {
    QByteArray bytes(kTextBytes, '\0');
    for (int i = 0; i < text.size() && i < kTextBytes; ++i)
        bytes[i] = char(text.at(i).unicode() & 0xFF);
    return bytes;
}

std::array<Command, 3> locationTextRequests(LocationText which, const QString& text) {
    const QByteArray b = textBuffer(text);
    const quint8 code = quint8(which);
    auto part = [&](int p) {
        const int f = p * 5; // the part's first character
        return Command::of(code, at(b, f + 4), at(b, f + 3), at(b, f + 2), at(b, f + 1), at(b, f),
                           quint8(p));
    };
    return {part(0), part(1), Command::of(code, 0, 0, 0, 0, 0, 2)};
}

Command extensionRequest(int k, const QString& text) {
    const QByteArray b = textBuffer(text);
    return Command::of(quint8(cmd::WriteExtension1 + 2 * k), at(b, 5), at(b, 4), at(b, 3), at(b, 2),
                       at(b, 1), at(b, 0));
}

Command startStopRequest(int d, const DayWindow& w) {
    return Command::of(cmd::SetStartStop, w.stopMinute, w.stopHour, w.startMinute, w.startHour, 0,
                       quint8(d + 1));
}

Command setIntervalRequest(quint8 minutes) {
    return Command::of(cmd::SetInterval, 0, 0, 0, 0, 0, minutes);
}

Command addressRequest(NetworkAddress which, const Address& a) {
    return Command::of(quint8(which), 0, 0, a[3], a[2], a[1], a[0]);
}

Command portRequest(quint16 port) {
    return Command::of(cmd::SetPort, 0, 0, 0, 0, quint8(port / 256), quint8(port % 256));
}

Command clockRequest(const LoggerClock& c) {
    return Command::of(cmd::SetClock, quint8(c.hour), quint8(c.minute), quint8(c.year),
                       quint8(c.month), quint8(c.day), quint8(c.weekday));
}

} // namespace nodalyx
