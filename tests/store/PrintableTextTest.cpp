// Text from the logger or a file made safe for a terminal or a window.
#include "PrintableText.h"

#include <gtest/gtest.h>

using namespace nodalyx;

namespace {

// One character per byte, as the logger's texts arrive.
QString bytes(const char* hex) {
    return QString::fromLatin1(QByteArray::fromHex(hex));
}

TEST(PrintableTextTest, EveryByteOutsidePrintableWindows1252IsEscaped) {
    const std::pair<QString, QString> rows[] = {
        {bytes("00"), "\\x00"},
        {bytes("1b5b324a"), "\\x1b[2J"}, // a terminal's escape sequence
        {bytes("0d0a09"), "\\x0d\\x0a\\x09"},
        {bytes("1f20"), "\\x1f "},
        {bytes("7e7f"), "~\\x7f"},
        {bytes("8d8f909d"), "\\x8d\\x8f\\x90\\x9d"}, // the positions the code page leaves empty
        {bytes("9b"), QStringLiteral("\u203A")},     // a quote in Windows-1252, not a control
        {bytes("80"), QStringLiteral("\u20AC")},     // the euro sign
        {bytes("9fa0ff"), QStringLiteral("\u0178\u00A0\u00FF")},
        {bytes("5c7831"), "\\x1"}, // a backslash stays as it is
        // Text decoded from a file: wide characters stay.
        {QStringLiteral("\u20AC \u2013 \u0141\u00F3d\u017A"),
         QStringLiteral("\u20AC \u2013 \u0141\u00F3d\u017A")},
    };
    for (const auto& [text, shown] : rows) {
        SCOPED_TRACE(text.toStdString());
        EXPECT_EQ(printableText(text), shown);
    }
}

TEST(PrintableTextTest, MessagesKeepTheirLineBreaksAndNothingElse) {
    EXPECT_EQ(printableLines(QStringLiteral("one\r\n\r\ntwo \"\x1b[2J\"\nthree\r")),
              QStringLiteral("one\r\n\r\ntwo \"\\x1b[2J\"\nthree\\x0d"));
}

} // namespace
