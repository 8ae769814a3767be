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
    const struct {
        const char* hex;
        QString shown;
    } rows[] = {
        {"00", "\\x00"},
        {"1b5b324a", "\\x1b[2J"}, // a terminal's escape sequence
        {"0d0a09", "\\x0d\\x0a\\x09"},
        {"1f20", "\\x1f "},
        {"7e7f", "~\\x7f"},
        {"8d8f909d", "\\x8d\\x8f\\x90\\x9d"}, // the positions the code page leaves empty
        {"9b", QStringLiteral("\u203A")},     // a quote in Windows-1252, not a control
        {"80", QStringLiteral("\u20AC")},     // the euro sign
        {"9f", QStringLiteral("\u0178")},
        {"a0", QStringLiteral("\u00A0")},
        {"ff", QStringLiteral("\u00FF")},
        {"534e30303432", "SN0042"},
        {"5c7831", "\\x1"}, // a backslash stays as it is
        {"", ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.hex);
        EXPECT_EQ(printableText(bytes(row.hex)), row.shown);
    }
}

TEST(PrintableTextTest, TextDecodedFromAFileAndWideCharactersStay) {
    const QString text = QStringLiteral("\u20AC 5 \u2013 caf\u00E9 \u0141\u00F3d\u017A");
    EXPECT_EQ(printableText(text), text);
}

TEST(PrintableTextTest, MessagesKeepTheirLineBreaksAndNothingElse) {
    EXPECT_EQ(printableLines(QStringLiteral("one\r\n\r\ntwo \"\x1b[2J\"\nthree\r")),
              QStringLiteral("one\r\n\r\ntwo \"\\x1b[2J\"\nthree\\x0d"));
}

} // namespace
