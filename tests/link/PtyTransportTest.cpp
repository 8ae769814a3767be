// The serial side of the link over a real pseudo-terminal, opened through NODALYX_COM7.
#include "CounterReadout.h"
#include "LinkHarness.h"

#include <QTest>
#include <gtest/gtest.h>

using namespace nodalyx;
using namespace nodalyx::test;

TEST(PtyLinkTest, RefreshOverASerialLine) {
    PtyHarness h;
    ASSERT_TRUE(h.ok) << h.sim.errorString().toStdString();
    h.state.settings.eSerialnumber = h.sim.state().serial;
    h.sim.state().setCounts(1, 2, {.in1 = 700, .out1 = 701, .in2 = 5, .out2 = 6});
    const RefreshOutcome r = RefreshFromLogger(h.state, *h.link, h.op);
    EXPECT_TRUE(r.highway1Read);
    EXPECT_TRUE(r.highway2Read);
    EXPECT_EQ(h.state.HW1Unit[3].In1, "700");
    EXPECT_EQ(h.state.HW1Unit[3].Out2, "6");
    EXPECT_FALSE(h.link->Comm().isOpen()); // closed at the end
    EXPECT_TRUE(h.sim.ptyDevice().endsWith(h.link->Comm().portName()));
    EXPECT_EQ(h.link->Comm().baudRate(), 19200);
    EXPECT_TRUE(h.op.shown().isEmpty());
}

TEST(PtyLinkTest, OpenPortIsTakenAsItIs) {
    PtyHarness h;
    ASSERT_TRUE(h.ok);
    ASSERT_TRUE(h.link->OpenLink());
    h.link->Comm().setBaudRate(9600); // as the highway test leaves it
    EXPECT_TRUE(h.link->OpenLink());
    EXPECT_EQ(h.link->Comm().baudRate(), 9600);
    EXPECT_EQ(h.link->ReadLoggerSerial(), h.sim.state().serial);
}

TEST(PtyLinkTest, PortThatCannotBeOpenedIsReportedByName) {
    PtyHarness h;
    qputenv("NODALYX_COM7", "/dev/nodalyx-no-such-port");
    EXPECT_FALSE(h.link->OpenLink());
    ASSERT_EQ(h.op.shown().size(), 1);
    EXPECT_TRUE(h.op.lastText().contains("/dev/nodalyx-no-such-port"));
    EXPECT_FALSE(h.link->SendCommand(59, 0, 0, 0, 0, 0, 0)); // port closed: reported
    EXPECT_EQ(h.op.shown().size(), 2);
    h.state.settings.Comport = 0;
    EXPECT_FALSE(h.link->OpenLink());
    EXPECT_TRUE(h.op.lastText().contains("Comport 0"));
}

TEST(PtyLinkTest, StoppedPollTimerLeavesSerialBytesToTheirOwner) {
    PtyHarness h;
    ASSERT_TRUE(h.ok);
    ASSERT_TRUE(h.link->OpenLink());
    h.link->TTcomm().stop();
    ASSERT_TRUE(h.link->SendCommand(59, 0, 0, 0, 0, 0, 0));
    QTRY_COMPARE_WITH_TIMEOUT(h.link->Comm().bytesAvailable(), 13, 2000);
    EXPECT_TRUE(h.state.link.RxBuffer.isEmpty());
    h.link->TTcomm().start();
    QTRY_COMPARE_WITH_TIMEOUT(h.state.link.RxBuffer.size(), 13, 2000);
}

TEST(PtyLinkTest, SerialReplyIsSeenBeforeThePollTick) {
    PtyHarness h;
    ASSERT_TRUE(h.ok);
    LinkTimeouts slowPoll = shortTimeouts();
    slowPoll.pollMs = 60000; // only readyRead can deliver within the test
    h.link->setTimeouts(slowPoll);
    ASSERT_TRUE(h.link->OpenLink());
    EXPECT_EQ(h.link->ReadLoggerSerial(), h.sim.state().serial);
}

TEST(PtyLinkTest, ReceiveErrorIsReportedOnceUntilThePortWorksAgain) {
    PtyHarness h;
    ASSERT_TRUE(h.ok);
    ASSERT_TRUE(h.link->OpenLink());
    for (int tick = 0; tick < 5; ++tick)
        emit h.link->Comm().errorOccurred(QSerialPort::ReadError);
    EXPECT_EQ(h.op.shown().size(), 1);
    EXPECT_EQ(h.link->ReadLoggerSerial(), h.sim.state().serial); // bytes flow again
    emit h.link->Comm().errorOccurred(QSerialPort::ReadError);
    EXPECT_EQ(h.op.shown().size(), 2);
}
