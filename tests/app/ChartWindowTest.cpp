// The monitoring chart window: the lines of the checked channels, the span shown, the list.
#include <QTimeZone>
#include <gtest/gtest.h>

#if NODALYX_HAVE_CHARTS
#include "FrmCountChart.h"
#include "WindowChecks.h"

#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QDateTimeAxis>
#include <QLineSeries>
#include <QListWidget>
#include <QTest>

using namespace nodalyx;
using namespace nodalyx::test;

namespace {

const QDateTime kStart(QDate(2026, 12, 7), QTime(10, 0), QTimeZone::utc());

struct Unit {
    int highway, address, channel;
    qint64 in, out;
};

MonitorRead read(qint64 secondsAfterStart, const QList<Unit>& units) {
    MonitorRead r;
    r.time = kStart.addSecs(secondsAfterStart);
    r.ok = true;
    r.highwayRead = {true, true};
    for (const Unit& u : units) {
        MonitorRow row;
        row.time = r.time;
        row.highway = u.highway;
        row.address = u.address;
        row.channel = u.channel;
        row.location = u.highway == 1 ? QStringLiteral("Hall") : QStringLiteral("Gate");
        row.inChange = u.in;
        row.outChange = u.out;
        r.rows << row;
    }
    return r;
}

struct ChartWindow : ::testing::Test {
    QListWidget* list() { return window.findChild<QListWidget*>("LstChannels"); }
    QChart* chart() { return window.findChild<QChartView*>("ChartView")->chart(); }
    // The names of the lines shown, sorted.
    QStringList lineNames() {
        QStringList names;
        for (QAbstractSeries* s : chart()->series())
            if (!s->name().isEmpty()) // the window's empty anchor of the axes
                names << s->name();
        names.sort();
        return names;
    }
    QList<QPointF> pointsOf(const QString& name) {
        for (QAbstractSeries* s : chart()->series())
            if (s->name() == name)
                return static_cast<QLineSeries*>(s)->points();
        ADD_FAILURE() << "no line " << name.toStdString();
        return {};
    }
    QDateTimeAxis* timeAxis() {
        return static_cast<QDateTimeAxis*>(chart()->axes(Qt::Horizontal).value(0));
    }
    QList<Qt::CheckState> checks() {
        QList<Qt::CheckState> states;
        for (int i = 0; i < list()->count(); ++i)
            states << list()->item(i)->checkState();
        return states;
    }
    FrmCountChart window;
};

QPointF point(qint64 secondsAfterStart, qint64 count) {
    return QPointF(double(kStart.addSecs(secondsAfterStart).toMSecsSinceEpoch()), double(count));
}

} // namespace

TEST_F(ChartWindow, CheckedChannelsGetInAndOutLinesThatGrowReadByReadAndSpaceTogglesThem) {
    window.selectUnits({{1, 3, 1}, {2, 63, 2}});
    const QList<Unit> units[] = {
        {{1, 3, 1, 0, 0}, {1, 3, 2, 0, 0}, {2, 63, 2, 0, 0}},
        {{1, 3, 1, 5, 1}, {1, 3, 2, 2, 0}, {2, 63, 2, 9, 9}},
        {{1, 3, 1, 7, 4}, {1, 3, 2, 3, 1}}, // highway 2 did not answer
    };
    for (int i = 0; i < 3; ++i)
        window.addRead(read(i, units[i]));

    ASSERT_EQ(list()->count(), 3);
    EXPECT_EQ(list()->item(0)->text(), "HW1 03 Hall ch 1");
    EXPECT_EQ(list()->item(2)->text(), "HW2 63 Gate ch 2");
    EXPECT_EQ(checks(), (QList<Qt::CheckState>{Qt::Checked, Qt::Unchecked, Qt::Checked}));
    EXPECT_EQ(lineNames(), (QStringList{"HW1 03 ch 1 In", "HW1 03 ch 1 Out", "HW2 63 ch 2 In",
                                        "HW2 63 ch 2 Out"}));
    EXPECT_EQ(pointsOf("HW1 03 ch 1 In"), (QList<QPointF>{point(0, 0), point(1, 5), point(2, 7)}));
    EXPECT_EQ(pointsOf("HW1 03 ch 1 Out"), (QList<QPointF>{point(0, 0), point(1, 1), point(2, 4)}));
    EXPECT_EQ(pointsOf("HW2 63 ch 2 Out"), (QList<QPointF>{point(0, 0), point(1, 9)}));

    // The keyboard: the list takes the focus, Space unchecks the current channel and checks
    // another, whose lines come with the points read before.
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    list()->setFocus();
    list()->setCurrentRow(0);
    QTest::keyClick(list(), Qt::Key_Space);
    list()->setCurrentRow(1);
    QTest::keyClick(list(), Qt::Key_Space);
    EXPECT_EQ(checks(), (QList<Qt::CheckState>{Qt::Unchecked, Qt::Checked, Qt::Checked}));
    EXPECT_EQ(lineNames(), (QStringList{"HW1 03 ch 2 In", "HW1 03 ch 2 Out", "HW2 63 ch 2 In",
                                        "HW2 63 ch 2 Out"}));
    EXPECT_EQ(pointsOf("HW1 03 ch 2 In"), (QList<QPointF>{point(0, 0), point(1, 2), point(2, 3)}));
}

TEST_F(ChartWindow, PointsOlderThanTheSpanShownLeaveTheLinesAndTheAxis) {
    window.selectUnits({{1, 0, 1}});
    const qint64 readAt[] = {0, 1800, 3660}; // the start, half an hour, an hour and a minute
    for (qint64 s : readAt)
        window.addRead(read(s, {{1, 0, 1, s, 0}}));
    struct Span {
        int index; // of the "Show the last" box
        qint64 seconds;
        QList<QPointF> in;
    };
    const Span spans[] = {
        {1, 3600, {point(1800, 1800), point(3660, 3660)}}, // 1 hour: shown first
        {2, 7200, {point(0, 0), point(1800, 1800), point(3660, 3660)}},
        {0, 600, {point(3660, 3660)}},
    };
    auto* span = window.findChild<QComboBox*>("CboSpan");
    for (const Span& s : spans) {
        span->setCurrentIndex(s.index);
        EXPECT_EQ(window.spanMs(), s.seconds * 1000);
        EXPECT_EQ(pointsOf("HW1 00 ch 1 In"), s.in) << s.seconds;
        // Back the span, but not before the first read.
        EXPECT_EQ(timeAxis()->min(), kStart.addSecs(std::max<qint64>(0, 3660 - s.seconds)))
            << s.seconds;
        EXPECT_EQ(timeAxis()->max(), kStart.addSecs(3660)) << s.seconds;
    }
    // The next read moves the span on: the point at 3660 s leaves the 10 minutes.
    window.addRead(read(4300, {{1, 0, 1, 4300, 0}}));
    EXPECT_EQ(pointsOf("HW1 00 ch 1 In"), (QList<QPointF>{point(4300, 4300)}));
    EXPECT_EQ(timeAxis()->min(), kStart.addSecs(4300 - 600));
    // After a restart a short run fills the axis from its first read, a minute at least.
    window.clear();
    window.addRead(read(5000, {{1, 0, 1, 0, 0}}));
    window.addRead(read(5090, {{1, 0, 1, 5, 0}}));
    EXPECT_EQ(timeAxis()->min(), kStart.addSecs(5000));
    window.addRead(read(5100, {{1, 0, 1, 6, 0}}));
    window.clear();
    window.addRead(read(6000, {{1, 0, 1, 0, 0}}));
    EXPECT_EQ(timeAxis()->min(), kStart.addSecs(6000 - 60));
}

TEST_F(ChartWindow, WithoutASelectionTheFirstChannelsAreShownAndAClearKeepsTheChoice) {
    QList<Unit> units;
    for (int address = 0; address < 6; ++address)
        units << Unit{2, address, 1, 0, 0};
    window.selectUnits({}); // no row selected in the main window
    window.addRead(read(0, units));
    EXPECT_EQ(checks(), (QList<Qt::CheckState>{Qt::Checked, Qt::Checked, Qt::Checked, Qt::Checked,
                                               Qt::Unchecked, Qt::Unchecked}));
    list()->item(0)->setCheckState(Qt::Unchecked);
    list()->item(5)->setCheckState(Qt::Checked);

    window.clear(); // monitoring started again
    EXPECT_EQ(list()->count(), 0);
    EXPECT_TRUE(lineNames().isEmpty());
    window.addRead(read(100, units));
    EXPECT_EQ(checks(), (QList<Qt::CheckState>{Qt::Unchecked, Qt::Checked, Qt::Checked, Qt::Checked,
                                               Qt::Unchecked, Qt::Checked}));
    EXPECT_EQ(pointsOf("HW2 05 ch 1 In"), (QList<QPointF>{point(100, 0)}));
}

TEST(ChartWindowText, AChannelIsNamedByHighwayAddressLocationAndChannel) {
    const std::pair<SeenChannel, QString> cases[] = {
        {{{1, 3, 1}, "North door"}, "HW1 03 North door ch 1"},
        {{{2, 63, 2}, "Hall\\East"}, "HW2 63 Hall\\East ch 2"},
        {{{1, 0, 2}, "Gate %1 %4"}, "HW1 00 Gate %1 %4 ch 2"}, // taken as it is
        {{{2, 10, 1}, ""}, "HW2 10  ch 1"},
    };
    for (const auto& [channel, text] : cases)
        EXPECT_EQ(FrmCountChart::channelText(channel), text);
}

TEST_F(ChartWindow, TheKeyboardReachesTheListAndTheSpanAndEveryControlHasAName) {
    EXPECT_EQ(accessibleNameProblems(window), QStringList());
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QTest::keyClick(&window, Qt::Key_S, Qt::AltModifier);
    EXPECT_EQ(QApplication::focusWidget(), window.findChild<QComboBox*>("CboSpan"));
    QTest::keyClick(&window, Qt::Key_U, Qt::AltModifier);
    EXPECT_EQ(QApplication::focusWidget(), list());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), window.findChild<QComboBox*>("CboSpan"));
}

#else

TEST(ChartWindow, NotBuiltWithoutQtCharts) {
    GTEST_SKIP() << "Qt Charts was not found: the chart window is not built";
}

#endif
