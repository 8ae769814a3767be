// Several locations in one process: each busy location's exchanges run on a worker thread that
// owns its context (settings, tables, link), so two loggers are talked to at the same time.
#include "ClockSetting.h"
#include "CounterReadout.h"
#include "LinkHarness.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QTest>
#include <QThread>

using namespace nodalyx;
using namespace nodalyx::test;

namespace {

// One location's context, built, used and destroyed on its worker thread.
struct Site {
    sim::LoggerSim sim; // lives on the test's thread, which serves it
    QString serial;
    RefreshOutcome refreshed;
    QString clock;
    QStringList told;
    qint64 startMs = -1, endMs = -1;

    void run(const QElapsedTimer& clock0) {
        SharedState state;
        pointAtTcp(state, sim.tcpPort());
        state.settings.eSerialnumber = serial;
        ScriptedOperator op;
        Link link(state.settings);
        tellNotices(link, op);
        link.setTimeouts(shortTimeouts());
        startMs = clock0.elapsed();
        refreshed = RefreshFromLogger(state, link, op);
        const ClockSetting set =
            SetLoggerDateTime(state, link, op, QDateTime(QDate(2026, 12, 7), QTime(8, 30)));
        clock = set.txtDate;
        endMs = clock0.elapsed();
        told = op.messages();
        if (refreshed.highway1Read)
            told << state.HW1Unit[1].In1;
    }
};

} // namespace

TEST(SeveralLoggersTest, TwoLocationsExchangeWithTheirOwnLoggersAtTheSameTime) {
    Site sites[2];
    for (int i = 0; i < 2; ++i) {
        Site& s = sites[i];
        ASSERT_TRUE(s.sim.listenTcp());
        s.sim.setGrowing(false);
        s.serial = QStringLiteral("NX0000000%1").arg(i + 1);
        s.sim.state().serial = s.serial;
        s.sim.state().setCounts(1, 0, sim::LoggerState::Counts{.in1 = quint16(100 + i)});
        s.sim.faults().delayMs = 60; // each answer takes a while: the runs overlap
    }
    QElapsedTimer clock0;
    clock0.start();
    std::unique_ptr<QThread> workers[2];
    for (int i = 0; i < 2; ++i) {
        workers[i].reset(QThread::create([&site = sites[i], &clock0] { site.run(clock0); }));
        workers[i]->start();
    }
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return workers[0]->isFinished() && workers[1]->isFinished(); }, 20000));
    for (int i = 0; i < 2; ++i) {
        SCOPED_TRACE(i);
        const Site& s = sites[i];
        EXPECT_TRUE(s.refreshed.countersRead && s.refreshed.highway1Read &&
                    s.refreshed.highway2Read);
        EXPECT_EQ(s.told, QStringList{QString::number(100 + i)}); // its own logger's count
        EXPECT_EQ(s.clock, QStringLiteral("07-12-2026  08:30"));
        EXPECT_EQ(s.sim.requestCodes(), (QList<int>{59, 59, 3, 3, 1, 2}));
    }
    // Each run was under way while the other ran.
    EXPECT_LT(sites[0].startMs, sites[1].endMs);
    EXPECT_LT(sites[1].startMs, sites[0].endMs);
}
