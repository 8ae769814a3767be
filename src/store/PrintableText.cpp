#include "PrintableText.h"
#include "Windows1252.h"

#include <QStringList>

namespace nodalyx {

namespace {

void appendPrintable(QString& out, QChar c) {
    const char16_t code = c.unicode();
    if ((code >= 0x20 && code < 0x7F) || code >= 0xA0) {
        out += c;
        return;
    }
    if (code >= 0x80 && code <= 0x9F) {
        // A byte the code page gives a character is shown as that character.
        const char16_t shown = windows1252Character(static_cast<unsigned char>(code));
        if (shown != code) {
            out += QChar(shown);
            return;
        }
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
