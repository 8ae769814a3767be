// Monitoring against the simulated logger: the changes, the failure rule, the stop.
#include "CounterMonitor.h"
#include "CounterReadout.h"
#include "LinkHarness.h"

#include <QEventLoop>
#include <QSignalSpy>
#include <gtest/gtest.h>

using namespace nodalyx;
using namespace nodalyx::test;
using Counts = sim::LoggerState::Counts;
using End = CounterMonitor::End;

namespace {

struct Monitoring {
    Monitoring() {
        h.sim.state().serial = QStringLiteral("NX00123456");
        h.state.settings.eSerialnumber = QStringLiteral("NX00123456");
        QObject::connect(&monitor, &CounterMonitor::readDone, &monitor,
                         [this](const MonitorRead& read) {
                             reads << read;
                             if (afterRead)
                                 afterRead(read);
                         });
        QObject::connect(&monitor, &CounterMonitor::finished, &monitor, [this](End e) {
            end = e;
            loop.quit();
        });
    }
    // Runs until the monitor ends (at most 20 s).
    bool run(int intervalMs, int count = 0) {
        if (!monitor.start(intervalMs, count))
            return false;
        QTimer::singleShot(20000, &loop, &QEventLoop::quit);
        loop.exec();
        return true;
    }
    Harness h;
    CounterMonitor monitor{h.state, *h.link, h.op};
    QEventLoop loop;
    QList<MonitorRead> reads;
    std::function<void(const MonitorRead&)> afterRead;
    std::optional<End> end;
};

const MonitorRow* findRow(const MonitorRead& read, int hw, int address, int channel) {
    for (const MonitorRow& r : read.rows)
        if (r.highway == hw && r.address == address && r.channel == channel)
            return &r;
    return nullptr;
}

} // namespace

TEST(CounterMonitorTest, RowsOfActiveChannelsCarryTheChangeSinceTheFirstReadAcrossTheWrap) {
    Monitoring m;
    ASSERT_TRUE(m.h.ok);
    m.h.state.HW1Unit[1].Active = true; // address 0, no unit code: channel 1 only
    m.h.state.HW1Unit[1].Name1 = QStringLiteral("Door");
    m.h.state.HW2Unit[64].Active = true; // address 63 with a code: both channels
    m.h.state.HW2Unit[64].HWaddress = QStringLiteral("123412341234");
    m.h.sim.state().setCounts(1, 0, Counts{.in1 = 65534, .out1 = 10});
    m.h.sim.state().setCounts(1, 5, Counts{.in1 = 7}); // not active: changes, no row
    m.h.sim.state().setCounts(2, 63, Counts{.in1 = 1, .in2 = 5, .out2 = 6});
    m.afterRead = [&](const MonitorRead& read) {
        if (read.number == 1) {
            m.h.sim.state().setCounts(1, 0, Counts{.in1 = 2, .out1 = 10}); // wraps: +4
            m.h.sim.state().setCounts(2, 63, Counts{.in1 = 1, .in2 = 6, .out2 = 6});
        }
    };
    ASSERT_TRUE(m.run(10, 3));
    EXPECT_EQ(m.end, End::Counted);
    ASSERT_EQ(m.reads.size(), 3);
    // The serial number is asked once (woken, then compared), then two memory reads a read.
    EXPECT_EQ(m.h.sim.requestCodes(), (QList<int>{59, 59, 3, 3, 3, 3, 3, 3}));
    for (const MonitorRead& read : m.reads) {
        EXPECT_TRUE(read.ok);
        EXPECT_EQ(read.rows.size(), 3); // 1/0 ch 1, 2/63 ch 1 and 2
    }
    const MonitorRow* door = findRow(m.reads[2], 1, 0, 1);
    ASSERT_TRUE(door);
    EXPECT_EQ(door->location, "Door");
    EXPECT_EQ(std::tuple(door->in, door->out, door->inChange, door->outChange),
              std::tuple(2, 10, 4, 0));
    EXPECT_EQ(findRow(m.reads[0], 1, 0, 1)->inChange, 0);
    EXPECT_EQ(findRow(m.reads[2], 2, 63, 2)->inChange, 1);
    EXPECT_FALSE(findRow(m.reads[2], 1, 5, 1));
    EXPECT_EQ(m.monitor.change(1, 5, 1, true), 0);   // followed all the same
    EXPECT_FALSE(m.monitor.changedInLastRead(1, 0)); // the third read saw nothing new
    EXPECT_EQ(m.h.link->transport().tcp().state(), QAbstractSocket::UnconnectedState);
    EXPECT_TRUE(m.h.op.shown().isEmpty());
}

TEST(CounterMonitorTest, ThreeFailedReadsInARowEndItAndASuccessInBetweenStartsTheCountAgain) {
    Monitoring m;
    ASSERT_TRUE(m.h.ok);
    // Reads 2, 3, 5, 6, 7 get a bad checksum on highway 2; read 4 is whole.
    const QSet<int> failing{2, 3, 5, 6, 7};
    m.afterRead = [&](const MonitorRead& read) {
        if (failing.contains(read.number + 1))
            m.h.sim.faults().corruptCodes = {3};
        else
            m.h.sim.faults().corruptCodes.clear();
    };
    ASSERT_TRUE(m.run(10));
    EXPECT_EQ(m.end, End::Failures);
    ASSERT_EQ(m.reads.size(), 7);
    QList<bool> ok;
    for (const MonitorRead& read : m.reads)
        ok << read.ok;
    EXPECT_EQ(ok, (QList<bool>{true, false, false, true, false, false, false}));
    EXPECT_TRUE(m.reads[1].failure.startsWith("Highway 1")) << m.reads[1].failure.toStdString();
    EXPECT_EQ(m.monitor.failuresInRow(), 3);
    EXPECT_FALSE(m.monitor.isRunning());
}

TEST(CounterMonitorTest, ALostConnectionIsOpenedAgainWithoutAnotherSerialCheck) {
    Monitoring m;
    ASSERT_TRUE(m.h.ok);
    m.afterRead = [&](const MonitorRead& read) {
        m.h.sim.faults().closeCodes.clear();
        if (read.number == 1)
            m.h.sim.faults().closeCodes = {3}; // the second read loses the connection
    };
    ASSERT_TRUE(m.run(10, 3));
    ASSERT_EQ(m.reads.size(), 3);
    EXPECT_FALSE(m.reads[1].ok);
    EXPECT_TRUE(m.reads[2].ok);
    EXPECT_EQ(m.h.sim.requestCodes().count(59), 2);
}

TEST(CounterMonitorTest, StopEndsAfterTheReadUnderWayAndReadsNeverOverlap) {
    Monitoring m;
    ASSERT_TRUE(m.h.ok);
    m.h.sim.faults().delayMs = 60; // a read takes longer than the interval
    int stoppedAt = 0;
    QObject::connect(m.h.link.get(), &Link::traffic, &m.monitor, [&](bool sent, const QByteArray&) {
        if (sent && m.reads.size() == 2 && !stoppedAt) {
            stoppedAt = 3;
            m.monitor.stop(); // during the third read
        }
    });
    ASSERT_TRUE(m.run(1));
    EXPECT_EQ(m.end, End::Stopped);
    ASSERT_EQ(m.reads.size(), 3);
    EXPECT_TRUE(m.reads[2].ok); // ended whole
    for (int i = 1; i < m.reads.size(); ++i)
        EXPECT_GE(m.reads[i].time, m.reads[i - 1].time.addMSecs(m.reads[i - 1].durationMs));
}

TEST(CounterMonitorTest, AnUnreachableOrDeclinedLoggerDoesNotStart) {
    Monitoring m;
    ASSERT_TRUE(m.h.ok);
    m.h.state.settings.eSerialnumber = QStringLiteral("OTHER");
    m.h.op.answer({false});
    EXPECT_FALSE(m.monitor.start(10));
    EXPECT_FALSE(m.monitor.isRunning());
    EXPECT_EQ(m.h.op.questions(), 1);
    m.h.sim.faults().silent = true;
    EXPECT_FALSE(m.monitor.start(10));
    ASSERT_FALSE(m.h.op.shown().isEmpty());
    EXPECT_TRUE(m.h.op.shown().last().text.startsWith(kConnectionFailedText));
    EXPECT_TRUE(m.reads.isEmpty());
}
