#include "WidgetOperator.h"

#include <QApplication>
#include <QStatusBar>
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

TEST(WidgetOperator, ProgressInTheStatusBarAndUnattendedAnswers) {
    WidgetOperator op;
    QStatusBar bar;
    op.setStatusBar(&bar);
    op.progress("Highway 1", 3, 10);
    EXPECT_EQ(bar.currentMessage(), "Highway 1 3/10");
    op.progress("Highway 1", 0, 0);
    EXPECT_TRUE(bar.currentMessage().isEmpty());

    op.setUnattended(true); // no box: the message goes to stderr, the question gets Yes
    op.message("shown on stderr");
    EXPECT_TRUE(op.askYesNo("Go on?"));
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}
