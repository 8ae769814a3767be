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
    reply.append('\xFF');
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
    case 2:
    case 3:
    case 51:
    case 55:
    case 57:
    case 59:
    case 63:
    case 65:
    case 66:
    case 101:
    case 103:
    case 105:
    case 107:
    case 109:
    case 111:
    case 113:
        return read(code, frame);
    default:
        return write(code, frame);
    }
}

LoggerResponder::Answer LoggerResponder::read(quint8 code, const QByteArray& frame) {
    QByteArray data;
    switch (code) {
    case 2: {
        const QDateTime now = m_state.clock();
        const QDate d = now.date();
        for (int v : {now.time().hour(), now.time().minute(), d.year() - 2000, d.month(), d.day(),
                      d.dayOfWeek() % 7 + 1})
            data.append(char(v));
        break;
    }
    case 3:
        data = memoryRead(frame);
        if (data.isEmpty())
            return {QByteArray(1, kNak), false};
        break;
    case 51:
        data = bytesOf(m_state.ip) + bytesOf(m_state.subnetmask) + bytesOf(m_state.gateway);
        break;
    case 55:
        data.append(char(m_state.port >> 8));
        data.append(char(m_state.port & 0xFF));
        break;
    case 57:
        data = bytesOf(m_state.mac);
        break;
    case 59:
        data = fixedText(m_state.serial, 10, true);
        break;
    case 63:
        data = fixedText(m_state.hostname, 20);
        break;
    case 65:
        data = bytesOf(m_state.dhcpAddress);
        break;
    case 66:
        data = QByteArray(1, char(m_state.dhcp ? 1 : 0));
        break;
    case 101:
    case 103:
    case 105:
        data = fixedText(*textField(code + 1), 10);
        break;
    default: // 107..113: the extensions
        data = fixedText(m_state.extensions[(code - 107) / 2], 6);
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
    case 1: {
        const QDate date(2000 + b(frame, 4), b(frame, 5), b(frame, 6));
        const QTime time(b(frame, 2), b(frame, 3));
        ok = date.isValid() && time.isValid();
        if (ok)
            m_state.setClock(QDateTime(date, time));
        break;
    }
    case 7:
        ok = m_state.setDayWindow(b(frame, 7), b(frame, 5), b(frame, 4), b(frame, 3), b(frame, 2));
        break;
    case 52:
    case 53:
    case 54: {
        auto& field = code == 52 ? m_state.ip : code == 53 ? m_state.subnetmask : m_state.gateway;
        field = {quint8(b(frame, 7)), quint8(b(frame, 6)), quint8(b(frame, 5)),
                 quint8(b(frame, 4))};
        break;
    }
    case 56:
        m_state.port = quint16(b(frame, 6) << 8 | b(frame, 7));
        break;
    case 61:
        m_state.setInterval(b(frame, 7));
        break;
    case 102:
    case 104:
    case 106:
        ok = writeTextPart(code, frame);
        break;
    case 108:
    case 110:
    case 112:
    case 114: {
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
    case 102:
        return &m_state.locationCode;
    case 104:
        return &m_state.locationName;
    default:
        return &m_state.locationPlace;
    }
}

} // namespace nodalyx::sim
