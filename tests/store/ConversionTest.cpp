#include "TextConvert.h"

#include <gtest/gtest.h>

using namespace nodalyx;

TEST(Conversion, WholeNumbersRoundHalvesToEvenAndCheckTheirRange) {
    struct Case {
        const char* text;
        int int16; // expected, or 99999 for a refusal
        int byte;
    };
    const Case cases[] = {
        {"0.5", 0, 0},       {"1.5", 2, 2},         {"2.5", 2, 2},           {" 3 ", 3, 3},
        {"-1.5", -2, 99999}, {"-0.4", 0, 0},        {"255.4", 255, 255},     {"255.5", 256, 99999},
        {"300", 300, 99999}, {"1e2", 100, 100},     {"40000", 99999, 99999}, {"abc", 99999, 99999},
        {"", 99999, 99999},  {"1,5", 99999, 99999}, {"12a", 99999, 99999},
    };
    for (const Case& c : cases) {
        qint16 i = 7;
        quint8 b = 7;
        const QString intError = toInt16(QString::fromLatin1(c.text), i);
        const QString byteError = toByte(QString::fromLatin1(c.text), b);
        EXPECT_EQ(intError.isEmpty() ? int(i) : 99999, c.int16) << c.text;
        EXPECT_EQ(byteError.isEmpty() ? int(b) : 99999, c.byte) << c.text;
    }
}

TEST(Conversion, BooleansAcceptNumbersAndTheWords) {
    const std::pair<const char*, int> cases[] = {{"1", 1},     {"0", 0},      {"True", 1},
                                                 {"false", 0}, {" TRUE ", 1}, {"2", 1},
                                                 {"0.4", 1},   {"abc", -1},   {"", -1}};
    for (const auto& [text, expected] : cases) {
        bool value = false;
        const QString error = toBoolean(QString::fromLatin1(text), value);
        EXPECT_EQ(error.isEmpty() ? int(value) : -1, expected) << text;
    }
}

TEST(Conversion, FloatsAreWrittenAsTheirShortestDecimalText) {
    float f = 0;
    ASSERT_TRUE(toFloat(QStringLiteral("1.1"), f).isEmpty());
    EXPECT_EQ(floatText(f), QStringLiteral("1.1"));
    EXPECT_EQ(floatText(1.0f), QStringLiteral("1"));
    EXPECT_EQ(floatText(100000.0f), QStringLiteral("100000"));
    EXPECT_FALSE(toFloat(QStringLiteral("1e300"), f).isEmpty());
}

TEST(Conversion, Windows1252IsOneBytePerCharacter) {
    EXPECT_EQ(encodeWindows1252(QStringLiteral("Caf\u00e9 \u20ac")), QByteArray("Caf\xE9 \x80"));
    EXPECT_EQ(decodeWindows1252(QByteArray("Caf\xE9 \x80")), QStringLiteral("Caf\u00e9 \u20ac"));
    EXPECT_EQ(encodeWindows1252(QStringLiteral("\u0100")), QByteArray("?"));
    const QByteArray everyByte = QByteArray("\x81\x8D\x8F\x90\x9D\xFF");
    EXPECT_EQ(encodeWindows1252(decodeWindows1252(everyByte)), everyByte);
}
