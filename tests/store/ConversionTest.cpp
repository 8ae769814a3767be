// Texts converted between the files, numbers and what a terminal or a window shows.
#include "PrintableText.h"
#include "TextConvert.h"
#include "TextMatch.h"
#include "ValueRules.h"

#include <gtest/gtest.h>

using namespace nodalyx;

TEST(Conversion, NumbersRoundHalvesToEvenAndCheckTheirRange) {
    const int no = 99999; // refused; a row holds a text, then its int16, byte and boolean
    const std::tuple<QString, int, int, int> cases[] = {
        {"0.5", 0, 0, 1},    {"1.5", 2, 2, 1},     {"2.5", 2, 2, 1},       {" 3 ", 3, 3, 1},
        {"-1.5", -2, no, 1}, {"-0.4", 0, 0, 1},    {"255.4", 255, 255, 1}, {"255.5", 256, no, 1},
        {"300", 300, no, 1}, {"1e2", 100, 100, 1}, {"40000", no, no, 1},   {"0", 0, 0, 0},
        {"abc", no, no, no}, {"", no, no, no},     {"1,5", no, no, no},    {"12a", no, no, no},
        {"True", no, no, 1}, {"false", no, no, 0}, {" TRUE ", no, no, 1},
    };
    for (const auto& [input, int16, byte, boolean] : cases) {
        SCOPED_TRACE(input.toStdString());
        qint16 i = 7;
        quint8 b = 7;
        bool flag = false;
        EXPECT_EQ(toInt16(input, i).isEmpty() ? int(i) : no, int16);
        EXPECT_EQ(toByte(input, b).isEmpty() ? int(b) : no, byte);
        EXPECT_EQ(toBoolean(input, flag).isEmpty() ? int(flag) : no, boolean);
    }
}

TEST(Conversion, FloatsAreWrittenShortest) {
    float f = 0;
    EXPECT_EQ(floatText(1.1f), QStringLiteral("1.1"));
    EXPECT_EQ(floatText(100000.0f), QStringLiteral("100000"));
    EXPECT_FALSE(toFloat(QStringLiteral("1e300"), f).isEmpty());
}

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

// The matchers that check the fixed shapes of numbers, times, port and device names.
TEST(TextMatchTest, DecimalNumbersTakeTheShapesTheFilesHold) {
    for (const char* yes : {"1", " 12 ", "+3", "-0.5", ".5", "5.", "1e2", "1.5E-3", " -2.5e+1  "})
        EXPECT_TRUE(isDecimalNumber(QString::fromLatin1(yes))) << yes;
    for (const char* no : {"", " ", ".", "+", "-.", "1e", "1e+", "e5", "1 2", "1,5", "0x10",
                           "1.2.3", "12a", "\t1", "--1"})
        EXPECT_FALSE(isDecimalNumber(QString::fromLatin1(no))) << no;
    EXPECT_FALSE(isDecimalNumber(QStringLiteral("\u0661"))); // a digit, but not an ASCII one
}

TEST(TextMatchTest, NumbersBetweenAPrefixAndASuffix) {
    const struct {
        const char* text;
        const char* prefix;
        const char* suffix;
        Qt::CaseSensitivity cs;
        int expected; // -1: no number
    } cases[] = {
        {"COM12", "COM", "", Qt::CaseInsensitive, 12},
        {"com3", "COM", "", Qt::CaseInsensitive, 3},
        {"com3", "COM", "", Qt::CaseSensitive, -1},
        {"COM", "COM", "", Qt::CaseInsensitive, -1},
        {"COM1234", "COM", "", Qt::CaseInsensitive, -1},
        {"COM 1", "COM", "", Qt::CaseInsensitive, -1},
        {"[COM7]", "[COM", "]", Qt::CaseInsensitive, 7},
        {"[COM7", "[COM", "]", Qt::CaseInsensitive, -1},
        {"[COM]", "[COM", "]", Qt::CaseInsensitive, -1},
        {"[COM7]x", "[COM", "]", Qt::CaseInsensitive, -1},
        {"/dev/ttyS0", "/dev/ttyS", "", Qt::CaseSensitive, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const std::optional<int> n = numberBetween(
            QString::fromLatin1(c.text), QLatin1String(c.prefix), QLatin1String(c.suffix), c.cs, 3);
        EXPECT_EQ(n.value_or(-1), c.expected);
    }
    EXPECT_TRUE(isAsciiDigits(QStringLiteral("01234567"), 8, 8));
    EXPECT_FALSE(isAsciiDigits(QStringLiteral("0123456"), 8, 8));
    EXPECT_FALSE(isAsciiDigits(QStringLiteral("0123 567"), 8, 8));
}

TEST(TextMatchTest, TimesAndShortNumbersOfTheSettings) {
    for (const char* yes : {"00:00", "09:05", "19:59", "23:59"})
        EXPECT_TRUE(isTime(QString::fromLatin1(yes))) << yes;
    for (const char* no : {"24:00", "9:30", "12:60", "12-30", "ab:cd", "12:3", " 12:30", "1:230"})
        EXPECT_FALSE(isTime(QString::fromLatin1(no))) << no;
    EXPECT_TRUE(isNumberIn(QStringLiteral("00042"), 0, 255));
    EXPECT_FALSE(isNumberIn(QStringLiteral("000042"), 0, 255)); // at most five digits
    EXPECT_FALSE(isNumberIn(QStringLiteral("+1"), 0, 255));
    EXPECT_FALSE(isNumberIn(QStringLiteral("256"), 0, 255));
}
