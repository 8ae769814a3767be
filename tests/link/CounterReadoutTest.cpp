// The counter read-out against the simulated logger.
#include "CounterReadout.h"
#include "LinkHarness.h"

#include <QTcpServer>
#include <gtest/gtest.h>

using namespace nodalyx;
using namespace nodalyx::test;
using Counts = sim::LoggerState::Counts;

namespace {
struct ReadoutTest : ::testing::Test {
    TcpHarness h;
    void SetUp() override {
        h.sim.state().serial = QStringLiteral("NX00123456");
        h.state.settings.eSerialnumber = QStringLiteral("00123456");
        h.sim.state().setCounts(
            1, 0, Counts{.live1 = 1, .live2 = 2, .in1 = 258, .out1 = 65535, .in2 = 3, .out2 = 4});
        h.sim.state().setCounts(2, 63, Counts{.in1 = 11, .out2 = 9});
    }
    // Marks the tables so a read can be told from no read.
    void markTables() {
        for (int hw = 1; hw <= 2; ++hw)
            for (UnitConfig& u : h.state.table(hw))
                u.In1 = QStringLiteral("old");
    }
    // Applies a reply fault to the memory read of one highway only.
    void faultOnHighway(int highway, QSet<int> sim::SimFaults::*which) {
        QObject::connect(&h.sim, &sim::LoggerSim::request, &h.sim,
                         [this, highway, which](const QByteArray& f) {
                             const bool mine = quint8(f.at(2)) == 3 &&
                                               quint8(f.at(8)) == (highway == 1 ? 0x60 : 0x64);
                             (h.sim.faults().*which) = mine ? QSet<int>{3} : QSet<int>{};
                         });
    }
};
} // namespace

TEST_F(ReadoutTest, ReadsBothHighwaysAndClosesTheLink) {
    const RefreshOutcome r = RefreshFromLogger(h.state, *h.link, h.op);
    EXPECT_TRUE(r.countersRead);
    EXPECT_TRUE(r.highway1Read);
    EXPECT_TRUE(r.highway2Read);
    EXPECT_EQ(h.state.HW1Unit[1].In1, "258");
    EXPECT_EQ(h.state.HW1Unit[1].Out1, "65535");
    EXPECT_EQ(h.state.HW1Unit[1].In2, "3");
    EXPECT_EQ(h.state.HW1Unit[1].Out2, "4");
    EXPECT_EQ(h.state.HW1Unit[1].Live1, "1");
    EXPECT_EQ(h.state.HW1Unit[1].Live2, "2");
    EXPECT_EQ(h.state.HW2Unit[64].In1, "11");
    EXPECT_EQ(h.state.HW2Unit[64].Out2, "9");
    EXPECT_EQ(h.state.HW2Unit[2].In1, "0");
    EXPECT_EQ(h.sim.requestCodes(), (QList<int>{59, 59, 3, 3}));
    EXPECT_EQ(h.sim.requests()[2], hexBytes("FF FF 03 00 00 00 63 00 60 00 72"));
    EXPECT_EQ(h.sim.requests()[3], hexBytes("FF FF 03 00 00 00 67 00 64 00 72"));
    EXPECT_TRUE(h.op.shown().isEmpty());
    EXPECT_EQ(h.op.busyDepth(), 0);
    EXPECT_EQ(h.link->TCP().state(), QAbstractSocket::UnconnectedState);
}

TEST_F(ReadoutTest, SerialNumberCheckIsAPlainContainsSearch) {
    for (const char* local : {"", "NX00123456", "0012", "456"}) {
        h.op.clear();
        h.state.settings.eSerialnumber = QString::fromLatin1(local);
        EXPECT_TRUE(RefreshFromLogger(h.state, *h.link, h.op).countersRead) << local;
        EXPECT_EQ(h.op.questions(), 0) << local;
    }
}

TEST_F(ReadoutTest, MismatchAnsweredNoReadsNothing) {
    h.state.settings.eSerialnumber = QStringLiteral("00123457"); // one digit differs
    markTables();
    h.op.answer({false});
    const RefreshOutcome r = RefreshFromLogger(h.state, *h.link, h.op);
    EXPECT_FALSE(r.countersRead);
    ASSERT_EQ(h.op.questions(), 1);
    EXPECT_EQ(
        h.op.shown().first().text,
        QStringLiteral("Remote serialnumber not the same as local\r\n\r\nWould you continue?"));
    EXPECT_EQ(h.op.shown().first().icon, Operator::Icon::None);
    EXPECT_EQ(h.sim.requestCodes(), (QList<int>{59, 59}));
    EXPECT_EQ(h.state.HW1Unit[1].In1, "old");
    EXPECT_EQ(h.link->TCP().state(), QAbstractSocket::UnconnectedState);
    EXPECT_EQ(h.op.busyDepth(), 0);
}

TEST_F(ReadoutTest, MismatchAnsweredYesReads) {
    h.state.settings.eSerialnumber = QStringLiteral("99");
    h.op.answer({true});
    EXPECT_TRUE(RefreshFromLogger(h.state, *h.link, h.op).highway2Read);
    EXPECT_EQ(h.state.HW1Unit[1].In1, "258");
}

TEST_F(ReadoutTest, NoSerialReplyReportsTheFailedConnection) {
    h.sim.faults().silent = true;
    markTables();
    const RefreshOutcome r = RefreshFromLogger(h.state, *h.link, h.op);
    EXPECT_FALSE(r.countersRead);
    ASSERT_EQ(h.op.shown().size(), 1);
    EXPECT_EQ(h.op.lastText(), QStringLiteral("Connection with Datalogger failed"));
    EXPECT_EQ(h.op.shown().first().icon, Operator::Icon::Critical);
    EXPECT_EQ(h.sim.requestCodes(), QList<int>{59});
    EXPECT_EQ(h.state.HW2Unit[1].In1, "old");
    EXPECT_EQ(h.op.busyDepth(), 0);
}

TEST_F(ReadoutTest, BadReplyKeepsThatHighwaysValuesAndReadsTheOther) {
    const std::array<QSet<int> sim::SimFaults::*, 3> faults{
        &sim::SimFaults::dropByteCodes,  // 771 characters
        &sim::SimFaults::extraByteCodes, // 773 characters
        &sim::SimFaults::corruptCodes};  // wrong checksum
    for (auto fault : faults) {
        for (int bad = 1; bad <= 2; ++bad) {
            h.sim.faults() = {};
            QObject::disconnect(&h.sim, &sim::LoggerSim::request, nullptr, nullptr);
            markTables();
            faultOnHighway(bad, fault);
            const RefreshOutcome r = RefreshFromLogger(h.state, *h.link, h.op);
            EXPECT_TRUE(r.countersRead);
            EXPECT_EQ(r.highway1Read, bad != 1);
            EXPECT_EQ(r.highway2Read, bad != 2);
            EXPECT_EQ(h.state.table(bad)[1].In1, "old");
            EXPECT_NE(h.state.table(3 - bad)[1].In1, "old");
            EXPECT_TRUE(h.op.shown().isEmpty());
        }
    }
}

TEST_F(ReadoutTest, LoggerThatRefusesTheConnectionEndsSilently) {
    QTcpServer probe;
    ASSERT_TRUE(probe.listen(QHostAddress::LocalHost));
    h.state.settings.Portnumber = QString::number(probe.serverPort());
    probe.close();
    markTables();
    const RefreshOutcome r = RefreshFromLogger(h.state, *h.link, h.op);
    EXPECT_FALSE(r.countersRead);
    EXPECT_TRUE(h.op.shown().isEmpty());
    EXPECT_EQ(h.op.busyDepth(), 0);
    EXPECT_EQ(h.state.HW1Unit[1].In1, "old");
}

TEST_F(ReadoutTest, RefreshWhileTheLinkWaitsIsRefused) {
    h.sim.faults().delayMs = 150;
    ASSERT_TRUE(h.link->OpenLink());
    RefreshOutcome inner;
    QTimer::singleShot(30, [&] { inner = RefreshFromLogger(h.state, *h.link, h.op); });
    EXPECT_EQ(h.link->ReadLoggerSerial(), h.sim.state().serial);
    EXPECT_FALSE(inner.countersRead);
    ASSERT_EQ(h.op.shown().size(), 1);
    EXPECT_EQ(h.op.lastText(), Link::busyText());
    EXPECT_EQ(h.sim.requestCodes(), QList<int>{59});
}
