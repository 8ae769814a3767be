// The code page of the files and the wire, converted by our own table.
#include "Windows1252.h"

#include <QStringDecoder>
#include <gtest/gtest.h>

using namespace nodalyx;

namespace {

// The whole code page: byte -> character, as the code page's published table gives it, with
// the five undefined bytes as the control characters of the same number.
QString wholeTable() {
    const char16_t high[32] = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
    };
    QString table;
    for (int b = 0; b < 256; ++b)
        table += QChar(b >= 0x80 && b < 0xA0 ? high[b - 0x80] : char16_t(b));
    return table;
}

QByteArray everyByte() {
    QByteArray bytes;
    for (int b = 0; b < 256; ++b)
        bytes.append(char(b));
    return bytes;
}

} // namespace

TEST(Windows1252Test, EveryByteReadsAsTheTableSaysAndWritesBackAsItself) {
    const QString table = wholeTable();
    EXPECT_EQ(decodeWindows1252(everyByte()), table);
    EXPECT_TRUE(decodeWindows1252({}).isEmpty() && encodeWindows1252({}).isEmpty());
    EXPECT_EQ(encodeWindows1252(table), everyByte());
    for (int b = 0; b < 256; ++b)
        EXPECT_EQ(windows1252Character(uchar(b)), table[b].unicode()) << b;
}

TEST(Windows1252Test, TheUndefinedBytesSurviveAReadAndAWrite) {
    const QByteArray undefined("x\x81\x8D\x8F\x90\x9Dy");
    const QString read = decodeWindows1252(undefined);
    EXPECT_EQ(read, QStringLiteral("x\u0081\u008D\u008F\u0090\u009Dy"));
    EXPECT_EQ(encodeWindows1252(read), undefined);
}

TEST(Windows1252Test, ACharacterTheCodePageLacksIsWrittenAsOneQuestionMark) {
    const std::pair<QString, QByteArray> rows[] = {
        {QStringLiteral("\u0100"), "?"},             // Latin A with macron
        {QStringLiteral("\u0080\u009F"), "??"},      // C1 controls the code page replaces
        {QStringLiteral("a\U0001F600b"), "a?b"},     // outside the BMP: one character
        {QString(QChar(0xD800)) + QChar('z'), "?z"}, // a lone surrogate
        {QStringLiteral("\u001A"), "\x1A"},          // a control it has stays as it is
        {QStringLiteral("Caf\u00e9 \u20ac"), "Caf\xE9 \x80"},
    };
    for (const auto& [text, bytes] : rows)
        EXPECT_EQ(encodeWindows1252(text), bytes) << text.toStdString();
}

TEST(Windows1252Test, ReadsAsQtsOwnConverterWhereThisQtHasOne) {
    QStringDecoder icu("windows-1252");
    if (!icu.isValid())
        GTEST_SKIP() << "this Qt has no Windows-1252 converter (no ICU)";
    const QString theirs = icu.decode(everyByte());
    const QString ours = decodeWindows1252(everyByte());
    for (int b = 0; b < 256; ++b)
        EXPECT_EQ(ours[b].unicode(), theirs[b].unicode()) << "byte " << b;
}
