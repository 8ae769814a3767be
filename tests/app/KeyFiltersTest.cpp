#include "KeyFilters.h"

#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

using namespace nodalyx;

TEST(KeyFilters, ControlCodesAlwaysPass) {
    for (int key : {0, 8, 13, 26})
        for (KeyFilterFunction f : {FilterDigits, FilterTimeChars, FilterHexChars, FilterNameChars})
            EXPECT_EQ(f(key), key);
}

TEST(KeyFilters, AllowedSetsAreCaseSensitive) {
    EXPECT_EQ(FilterDigits('7'), '7');
    EXPECT_EQ(FilterDigits(':'), 0);
    EXPECT_EQ(FilterDigits(' '), 0); // 32: just above the control codes
    EXPECT_EQ(FilterDigits(27), 0);  // Escape is not a control code here
    EXPECT_EQ(FilterTimeChars(':'), ':');
    EXPECT_EQ(FilterTimeChars('.'), 0);
    EXPECT_EQ(FilterHexChars('f'), 'f');
    EXPECT_EQ(FilterHexChars('F'), 'F');
    EXPECT_EQ(FilterHexChars('g'), 0);
    EXPECT_EQ(FilterHexChars('G'), 0);
    EXPECT_EQ(FilterNameChars('z'), 'z');
    EXPECT_EQ(FilterNameChars('-'), '-');
    EXPECT_EQ(FilterNameChars('_'), '_');
    EXPECT_EQ(FilterNameChars(' '), 0);
    EXPECT_EQ(FilterNameChars('\\'), 0);
    EXPECT_EQ(FilterNameChars(0xE9), 0); // e acute
}

TEST(KeyFilters, BoxTakesOnlyAllowedKeys) {
    QLineEdit box;
    KeyFilter::install(&box, FilterHexChars);
    QTest::keyClicks(&box, "1a-Zf ");
    EXPECT_EQ(box.text(), "1af");
    QTest::keyClick(&box, Qt::Key_Backspace); // control key passes
    EXPECT_EQ(box.text(), "1a");
    QTest::keyClick(&box, Qt::Key_Left); // a key without a character passes
    QTest::keyClicks(&box, "9");
    EXPECT_EQ(box.text(), "19a");
}
