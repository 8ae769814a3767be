#include "TextConvert.h"

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

TEST(Conversion, FloatsAreWrittenShortestAndTextIsWindows1252) {
    float f = 0;
    EXPECT_EQ(floatText(1.1f), QStringLiteral("1.1"));
    EXPECT_EQ(floatText(100000.0f), QStringLiteral("100000"));
    EXPECT_FALSE(toFloat(QStringLiteral("1e300"), f).isEmpty());
    // Windows-1252 text is one byte per character.
    EXPECT_EQ(encodeWindows1252(QStringLiteral("Caf\u00e9 \u20ac")), QByteArray("Caf\xE9 \x80"));
    EXPECT_EQ(decodeWindows1252(QByteArray("Caf\xE9 \x80")), QStringLiteral("Caf\u00e9 \u20ac"));
    EXPECT_EQ(encodeWindows1252(QStringLiteral("\u0100")), QByteArray("?"));
    const QByteArray everyByte = QByteArray("\x81\x8D\x8F\x90\x9D\xFF");
    EXPECT_EQ(encodeWindows1252(decodeWindows1252(everyByte)), everyByte);
}

TEST(Conversion, CodecProblemIsReportedOnlyForACodePageQtLacks) {
    EXPECT_EQ(textCodecProblem(), QString()); // this Qt has Windows-1252
    const QString missing = textCodecProblem("no-such-code-page");
    EXPECT_TRUE(missing.contains("no-such-code-page")) << missing.toStdString();
    EXPECT_TRUE(missing.contains("location files")) << missing.toStdString();
}
