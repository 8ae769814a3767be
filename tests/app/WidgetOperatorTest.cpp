#include "WidgetOperator.h"

#include <QApplication>
#include <gtest/gtest.h>

using namespace nodalyx;

TEST(WidgetOperator, HourglassNestsAndIsRestored) {
    WidgetOperator op;
    {
        BusyGuard outer(op);
        ASSERT_NE(QApplication::overrideCursor(), nullptr);
        EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
        BusyGuard inner(op);
        inner.release();
        ASSERT_NE(QApplication::overrideCursor(), nullptr);
        EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    }
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST(WidgetOperator, UnattendedRunsShowNoBoxes) {
    WidgetOperator op;
    op.setUnattended(true); // no box: the message goes to stderr, the question gets Yes
    op.message("shown on stderr");
    EXPECT_TRUE(op.askYesNo("Go on?"));
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}
