#include "LoggerResponder.h"

#include "FrameParser.h"

namespace nodalyx::sim {

namespace {
// Request frame positions: FF FF B1 B2 .. B8 CS.
int b(const QByteArray& frame, int n) {
    return quint8(frame.at(n + 1));
}

template <std::size_t N> QByteArray bytesOf(const std::array<quint8, N>& a) {
    return QByteArray(reinterpret_cast<const char*>(a.data()), int(N));
}

QString textFromBytes(const QByteArray& bytes) {
    const qsizetype end = bytes.indexOf('\0');
    return QString::fromLatin1(end < 0 ? bytes : bytes.left(end));
}
} // namespace

QByteArray fixedText(const QString& text, int width, bool rightAlign) {
    QByteArray bytes = text.left(width).toLatin1();
    const QByteArray pad(width - bytes.size(), ' ');
    return rightAlign ? pad + bytes : bytes + pad;
}

QByteArray LoggerResponder::dataReply(quint8 code, const QByteArray& data) {
    QByteArray reply;
    reply.append(char(kSync));
    reply.append(char(code));
    reply.append(data);
    reply.append('\0');
    reply.back() = char(FrameParser::checksum(reply));
    return reply;
}

LoggerResponder::Answer LoggerResponder::respond(const QByteArray& frame) {
    if (!FrameParser::checksumOk(frame))
        return {QByteArray(1, kNak), false};
    const quint8 code = quint8(b(frame, 1));
    switch (code) {
    case cmd::ReadClock:
    case cmd::ReadMemory:
    case cmd::ReadNetwork:
    case cmd::ReadPort:
    case cmd::ReadMac:
    case cmd::ReadSerial:
    case cmd::ReadHostName:
    case cmd::ReadDhcpAddress:
    case cmd::ReadDhcp:
    case cmd::ReadCode:
    case cmd::ReadName:
    case cmd::ReadPlace:
    case cmd::ReadExtension1:
    case cmd::ReadExtension2:
    case cmd::ReadExtension3:
    case cmd::ReadExtension4:
        return read(code, frame);
    default:
        return write(code, frame);
    }
}

LoggerResponder::Answer LoggerResponder::read(quint8 code, const QByteArray& frame) {
    QByteArray data;
    switch (code) {
    case cmd::ReadClock: {
        const QDateTime now = m_state.clock();
        const QDate d = now.date();
        for (int v : {now.time().hour(), now.time().minute(), d.year() - 2000, d.month(), d.day(),
                      d.dayOfWeek() % 7 + 1})
            data.append(char(v));
        break;
    }
    case cmd::ReadMemory:
        data = memoryRead(frame);
        if (data.isEmpty())
            return {QByteArray(1, kNak), false};
        break;
    case cmd::ReadNetwork:
        data = bytesOf(m_state.ip) + bytesOf(m_state.subnetmask) + bytesOf(m_state.gateway);
        break;
    case cmd::ReadPort:
        data.append(char(m_state.port >> 8));
        data.append(char(m_state.port & 0xFF));
        break;
    case cmd::ReadMac:
        data = bytesOf(m_state.mac);
        break;
    case cmd::ReadSerial:
        data = fixedText(m_state.serial, 10, true);
        break;
    case cmd::ReadHostName:
        data = fixedText(m_state.hostname, 20);
        break;
    case cmd::ReadDhcpAddress:
        data = bytesOf(m_state.dhcpAddress);
        break;
    case cmd::ReadDhcp:
        data = QByteArray(1, char(m_state.dhcp ? 1 : 0));
        break;
    case cmd::ReadCode:
    case cmd::ReadName:
    case cmd::ReadPlace:
        data = fixedText(*textField(code + 1), 10);
        break;
    default: // 107..113: the extensions
        data = fixedText(m_state.extensions[(code - cmd::ReadExtension1) / 2], 6);
        break;
    }
    return {dataReply(code, data), false};
}

QByteArray LoggerResponder::memoryRead(const QByteArray& frame) const {
    const int last = b(frame, 5) << 8 | b(frame, 4);
    const int first = b(frame, 7) << 8 | b(frame, 6);
    if (first > last)
        return {};
    return m_state.memory.mid(first, last - first + 1);
}

LoggerResponder::Answer LoggerResponder::write(quint8 code, const QByteArray& frame) {
    bool ok = true;
    switch (code) {
    case cmd::SetClock: {
        const QDate date(2000 + b(frame, 4), b(frame, 5), b(frame, 6));
        const QTime time(b(frame, 2), b(frame, 3));
        ok = date.isValid() && time.isValid();
        if (ok)
            m_state.setClock(QDateTime(date, time));
        break;
    }
    case cmd::SetStartStop:
        ok = m_state.setDayWindow(b(frame, 7), b(frame, 5), b(frame, 4), b(frame, 3), b(frame, 2));
        break;
    case cmd::SetIpAddress:
    case cmd::SetSubnetMask:
    case cmd::SetGateway: {
        auto& field = code == cmd::SetIpAddress    ? m_state.ip
                      : code == cmd::SetSubnetMask ? m_state.subnetmask
                                                   : m_state.gateway;
        field = {quint8(b(frame, 7)), quint8(b(frame, 6)), quint8(b(frame, 5)),
                 quint8(b(frame, 4))};
        break;
    }
    case cmd::SetPort:
        m_state.port = quint16(b(frame, 6) << 8 | b(frame, 7));
        break;
    case cmd::SetInterval:
        m_state.setInterval(b(frame, 7));
        break;
    case cmd::WriteCode:
    case cmd::WriteName:
    case cmd::WritePlace:
        ok = writeTextPart(code, frame);
        break;
    case cmd::WriteExtension1:
    case cmd::WriteExtension2:
    case cmd::WriteExtension3:
    case cmd::WriteExtension4: {
        QByteArray chars;
        for (int n = 7; n >= 2; --n)
            chars.append(char(b(frame, n)));
        m_state.extensions[(code - 108) / 2] = textFromBytes(chars);
        break;
    }
    default:
        ok = false;
    }
    return ok ? Answer{QByteArray(1, kAck), true} : Answer{QByteArray(1, kNak), false};
}

bool LoggerResponder::writeTextPart(quint8 code, const QByteArray& frame) {
    QByteArray& chars = m_textParts[code];
    const int part = b(frame, 7);
    if (part == 0 || part == 1) {
        if (part == 0 || chars.size() != 10)
            chars = QByteArray(10, '\0');
        // B6 carries the first character of the part, B2 the fifth.
        for (int i = 0; i < 5; ++i)
            chars[part * 5 + i] = char(b(frame, 6 - i));
        return true;
    }
    if (part != 2)
        return false;
    *textField(code) = textFromBytes(chars);
    chars.clear();
    return true;
}

QString* LoggerResponder::textField(quint8 code) {
    switch (code) {
    case cmd::WriteCode:
        return &m_state.locationCode;
    case cmd::WriteName:
        return &m_state.locationName;
    default:
        return &m_state.locationPlace;
    }
}

} // namespace nodalyx::sim
