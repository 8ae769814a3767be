#include "PrintableText.h"

#include <QStringList>

namespace nodalyx {

namespace {

// The characters Windows-1252 gives the bytes 0x80..0x9F; 0 where it has none.
constexpr char16_t kHighControls[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, // 80..87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,      // 88..8F
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 90..97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178, // 98..9F
};

void appendPrintable(QString& out, QChar c) {
    const char16_t code = c.unicode();
    if ((code >= 0x20 && code < 0x7F) || code >= 0xA0) {
        out += c;
        return;
    }
    if (code >= 0x80 && code <= 0x9F && kHighControls[code - 0x80] != 0) {
        out += QChar(kHighControls[code - 0x80]);
        return;
    }
    out += QStringLiteral("\\x%1").arg(int(code), 2, 16, QLatin1Char('0'));
}

} // namespace

QString printableText(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (const QChar c : text)
        appendPrintable(out, c);
    return out;
}

QString printableLines(const QString& text) {
    const QString crlf = QStringLiteral("\r\n");
    QStringList lines = text.split(crlf);
    for (QString& line : lines) {
        QStringList parts = line.split(QLatin1Char('\n'));
        for (QString& part : parts)
            part = printableText(part);
        line = parts.join(QLatin1Char('\n'));
    }
    return lines.join(crlf);
}

} // namespace nodalyx
