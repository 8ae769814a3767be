// The highway test against simulated units on a pseudo-terminal.
#include "../app/AppFixture.h" // readable QString values, as in the window tests
#include "HighwayHarness.h"
#include "PseudoTerminals.h"

#include <QElapsedTimer>
#include <gtest/gtest.h>

using namespace nodalyx;
using namespace nodalyx::test;
using sim::UnitFault;

TEST(Polling, CountsType1AndType2UnitsPassAfterPass) {
    NODALYX_NEEDS_PSEUDO_TERMINALS();
    HighwayHarness h;
    ASSERT_TRUE(h.ok);
    h.addUnit(2, 0, 1, {}, UnitFault::None, {100, 7, 200, 9});
    h.addUnit(2, 5, 2, "A1B2C3D4E5F1", UnitFault::None, {10, 20, 30, 40});
    h.addUnit(2, 2, 1); // on the bus, but not in use, or of type 0: neither is polled
    h.addUnit(2, 3, 1);
    std::tie(h.state.HW2Unit[3].Active, h.state.HW2Unit[4].HWtype) = std::pair(false, 0);
    std::pair<int, bool> speedAndLease; // 9600 baud, on the port held in the link's stead
    QObject::connect(&h.test, &hw::HighwayTest::passFinished, [&](int passes) {
        speedAndLease = {h.sim.lineSpeed(), h.link.isLeased()};
        for (int& c : h.sim.config().unit(0)->counters)
            c += passes;
        h.sim.config().unit(5)->counters = {11, 22, 33, 44};
    });
    ASSERT_TRUE(h.run(2, 3));
    EXPECT_TRUE(h.op.shown().isEmpty()) << h.op.lastText().toStdString();
    const QString two = QStringLiteral("2:A1B2C3D4E5F1");
    EXPECT_EQ(h.sim.polls(), QStringList({"1:00", two, "1:00", two, "1:00", two}));
    EXPECT_EQ(speedAndLease, std::pair(9600, true));
    // Polls count from the second pass on, answers from the first; unit 0 grew by 1, then 2.
    using Four = std::array<int, 4>;
    EXPECT_EQ(std::tuple(h.row(0).TX, h.row(0).RX, h.row(0).Count), std::tuple(2, 3, Four{3, 3}));
    EXPECT_EQ(std::tuple(h.row(5).TX, h.row(5).RX, h.row(5).Count),
              std::tuple(2, 3, Four{1, 2, 3, 4}));
}

// A stop ends the test after the poll in progress or (the command line) after the pass; a lost
// device ends it at once, told once after the end with the link given back. All in pass 1.
TEST(Polling, AStopOrALostDeviceEndsTheTest) {
    NODALYX_NEEDS_PSEUDO_TERMINALS();
    enum End { Stop, StopAfterPass, Lost };
    using S = HighwayHarness::State;
    const std::tuple<End, qsizetype, int, QList<S>> rows[] = {
        {Stop, 1, 0, {S::Running, S::Stopping, S::Idle}},
        {StopAfterPass, 3, 1, {S::Running, S::Stopping, S::Idle}},
        {Lost, 1, 0, {S::Running, S::Idle}},
    };
    for (const auto& [end, polls, passes, states] : rows) {
        SCOPED_TRACE(int(end));
        HighwayHarness h;
        ASSERT_TRUE(h.ok);
        h.addUnit(1, 0, 1);
        h.addUnit(1, 1, 1, {}, UnitFault::Silent);
        h.addUnit(1, 63, 2, "A1B2C3D4E5F1"); // a type 2 unit on Highway 1: the longer wait
        h.test.setStopAfterPass(end == StopAfterPass);
        std::pair<bool, qsizetype> leasedAndToldAtTheEnd{true, -1};
        QObject::connect(&h.test, &hw::HighwayTest::stateChanged, [&](S s) {
            if (s == S::Idle)
                leasedAndToldAtTheEnd = {h.link.isLeased(), h.op.shown().size()};
        });
        QObject::connect(&h.test, &hw::HighwayTest::rowChanged, [&](int index) {
            if (index == 1 && end == Lost)
                h.sim.closePty();
            else if (index == 1)
                h.test.requestStop();
        });
        QElapsedTimer clock;
        clock.start();
        ASSERT_TRUE(h.run(1, 3));
        EXPECT_EQ(std::pair(h.test.stopped(), h.test.portLost()),
                  std::pair(end != Lost, end == Lost));
        EXPECT_EQ(std::tuple(h.test.passes(), h.test.passesBegun(), h.sim.polls().size()),
                  std::tuple(passes, 1, polls));
        // the poll under way at the end is taken in
        EXPECT_EQ(std::pair(h.row(0).RX, h.row(63).RX), std::pair(1, passes));
        EXPECT_EQ(h.states, states);
        EXPECT_EQ(leasedAndToldAtTheEnd, std::pair(false, qsizetype(0)));
        EXPECT_EQ(h.op.shown().size(), end == Lost ? 1 : 0) << h.op.lastText().toStdString();
        if (end == Lost) { // without the silent unit's wait
            EXPECT_LT(clock.elapsed(), 2 * quickTimings().answerMs);
        }
    }
}

// What a faulty unit leaves in the input (a byte, 70 bytes, a late answer) is gone before the
// next poll, so the healthy unit behind it is counted; a refused answer changes no row.
TEST(Polling, AFaultyUnitDoesNotSilenceItsNeighbour) {
    NODALYX_NEEDS_PSEUDO_TERMINALS();
    HighwayHarness h;
    ASSERT_TRUE(h.ok);
    h.test.setTimings(quickTimings(150, 120));
    h.sim.config().lateMs = 210; // after the deadline, in the pause behind it
    const std::pair<UnitFault, int> faults[] = {
        {UnitFault::Late, 1},      {UnitFault::Short, 1}, {UnitFault::Long, 1},
        {UnitFault::Garbage, 1},   {UnitFault::Long, 2},  {UnitFault::NoMarker, 2},
        {UnitFault::FirstByte, 2},
    };
    const int n = int(std::size(faults));
    for (int a = 0; a < 2 * n; ++a) {
        const int type = faults[a / 2].second, c = a % 2 ? 7 : 5; // the faulty unit first
        h.addUnit(2, a, type, type == 2 ? QString::number(a).rightJustified(12, '0') : QString(),
                  a % 2 ? UnitFault::None : faults[a / 2].first, {c, c, c, c});
    }
    ASSERT_TRUE(h.run(2, 1));
    for (int a = 0; a < 2 * n; a += 2) {
        SCOPED_TRACE(sim::unitFaultName(faults[a / 2].first).toStdString());
        EXPECT_EQ(std::tuple(h.row(a).RX, h.row(a).C), std::tuple(0, std::array<int, 4>{}));
        EXPECT_EQ(std::pair(h.row(a + 1).RX, h.row(a + 1).C[0]), std::pair(1, 7));
    }
}

// Each refusal is told once and leaves no run behind: no state change, no poll, the link free.
TEST(Polling, RefusesToStartWithoutAPortOrWhileTheLinkIsTaken) {
    NODALYX_NEEDS_PSEUDO_TERMINALS();
    HighwayHarness h;
    ASSERT_TRUE(h.ok);
    h.addUnit(1, 0, 1);
    EXPECT_FALSE(h.test.TestHW(1, QString()));
    EXPECT_FALSE(h.test.TestHW(1, QStringLiteral("x")));
    {
        LinkLease other = h.link.TakeLease(QStringLiteral("the file transfer"));
        EXPECT_FALSE(h.run(1, 1));
    }
    EXPECT_EQ(h.op.messages(),
              QStringList({"Number of comport not set!", "\"x\" is not a comport number.",
                           "The link is in use by the file transfer."}));
    EXPECT_EQ(std::tuple(h.states.size(), h.link.isLeased(), h.sim.polls().size()),
              std::tuple(0, false, 0));
    EXPECT_TRUE(h.run(1, 1));
    EXPECT_EQ(h.sim.polls(), QStringList({"1:00"}));
}

// A silent type 1 unit costs its deadline and the pause; a type 2 unit on Highway 1 a pause
// after its poll, its own deadline and the pause (the units need 1 s; 0.1 s, 2 s; 0.05 s).
TEST(Polling, SilentUnitsCostTheirDeadlines) {
    NODALYX_NEEDS_PSEUDO_TERMINALS();
    const hw::HighwayTimings real;
    EXPECT_EQ(std::tuple(real.answerMs, real.slowPauseMs, real.slowAnswerMs, real.afterAnswerMs),
              std::tuple(1000, 100, 2000, 50));
    HighwayHarness h;
    ASSERT_TRUE(h.ok);
    h.test.setTimings(hw::HighwayTimings{200, 100, 400, 5, 20});
    h.addUnit(1, 0, 1, {}, UnitFault::Silent);
    h.addUnit(1, 1, 2, QStringLiteral("00FF00FF00F2"), UnitFault::Silent);
    QElapsedTimer clock;
    QList<qint64> polledAt;
    QObject::connect(&h.sim, &sim::UnitHighwaySim::polled, [&] { polledAt << clock.elapsed(); });
    clock.start();
    ASSERT_TRUE(h.run(1, 1));
    ASSERT_EQ(polledAt.size(), 2);
    const qint64 type1 = polledAt[1] - polledAt[0], type2 = clock.elapsed() - polledAt[1];
    EXPECT_TRUE(type1 >= 220 && type1 < 400) << type1;
    EXPECT_TRUE(type2 >= 520 && type2 < 700) << type2;
}
