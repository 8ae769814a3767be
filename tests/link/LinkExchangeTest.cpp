// Requests and waits of the link against the simulated logger over TCP loopback.
#include "CommandFrame.h"
#include "LinkHarness.h"
#include "LoggerReplies.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QTcpServer>
#include <QTest>
#include <gtest/gtest.h>

using namespace nodalyx;
using namespace nodalyx::test;

namespace {
// Sends a memory read of the interval byte (addresses 9..10): a 5-byte data reply.
bool requestInterval(Link& link) {
    return link.SendCommand(3, 0, 0, 10, 0, 9, 0);
}
} // namespace

TEST(LinkTimeoutsTest, DefaultsAreTheLoggersTimeLimits) {
    const LinkTimeouts t;
    EXPECT_EQ(t.replyMs, 5000);
    EXPECT_EQ(t.ackMs, 4000);
    EXPECT_EQ(t.connectMs, 5000);
    EXPECT_EQ(t.pollMs, 100);
    SharedState state;
    ScriptedOperator op;
    Link link(state, op);
    EXPECT_EQ(link.timeouts().replyMs, 5000);
    EXPECT_TRUE(link.TTcomm().isActive());
    EXPECT_EQ(link.TTcomm().interval(), 100);
}

TEST(LinkSerialNumberTest, ReadsTheNumberAndEmptiesTheBuffer) {
    TcpHarness h;
    h.sim.state().serial = QStringLiteral("12345678");
    ASSERT_TRUE(h.link->OpenLink());
    EXPECT_EQ(h.link->ReadLoggerSerial(), QStringLiteral("12345678"));
    EXPECT_TRUE(h.state.link.RxBuffer.isEmpty());
    EXPECT_EQ(h.sim.requestCodes(), QList<int>{59});
    EXPECT_EQ(h.sim.requests().first(), hexBytes("FF FF 3B 00 00 00 00 00 00 00 49"));
    EXPECT_TRUE(h.op.shown().isEmpty());
}

TEST(LinkSerialNumberTest, ReplyInSeveralPiecesIsReadWhole) {
    TcpHarness h;
    h.sim.state().serial = QStringLiteral("AB34567890");
    h.sim.faults().chunkSize = 4;
    h.sim.faults().chunkGapMs = 25; // shorter than the settle time, longer than a poll
    ASSERT_TRUE(h.link->OpenLink());
    EXPECT_EQ(h.link->ReadLoggerSerial(), QStringLiteral("AB34567890"));
}

TEST(LinkSerialNumberTest, ShortReplyIsTakenAfterTheSettleTime) {
    TcpHarness h;
    h.sim.state().serial = QStringLiteral("12345678");
    h.sim.faults().dropByteCodes = {59}; // 12 bytes: the checksum never comes
    ASSERT_TRUE(h.link->OpenLink());
    EXPECT_EQ(h.link->ReadLoggerSerial(), QStringLiteral("12345678"));
}

TEST(LinkSerialNumberTest, NoReplyOrNakGivesFalse) {
    TcpHarness h;
    h.sim.faults().silent = true;
    ASSERT_TRUE(h.link->OpenLink());
    EXPECT_EQ(h.link->ReadLoggerSerial(), QStringLiteral("False"));
    h.sim.faults().silent = false;
    h.sim.faults().nakCodes = {59};
    EXPECT_EQ(h.link->ReadLoggerSerial(), QStringLiteral("False"));
    EXPECT_TRUE(h.state.link.RxBuffer.isEmpty());
    EXPECT_TRUE(h.op.shown().isEmpty());
}

TEST(LinkSerialNumberTest, RealFiveSecondLimitEndsAnUnansweredRequest) {
    TcpHarness h;
    h.link->setTimeouts(LinkTimeouts{});
    h.sim.faults().silent = true;
    ASSERT_TRUE(h.link->OpenLink());
    QElapsedTimer timer;
    timer.start();
    EXPECT_EQ(h.link->ReadLoggerSerial(), QStringLiteral("False"));
    EXPECT_GE(timer.elapsed(), 5000);
    EXPECT_FALSE(h.link->isBusy());
}

TEST(LinkClockTest, SetClockThenReadItBack) {
    TcpHarness h;
    ASSERT_TRUE(h.link->OpenLink());
    const LoggerClock set{14, 30, 26, 5, 12, 3};
    ASSERT_TRUE(h.link->WriteLoggerClock(set));
    EXPECT_EQ(h.sim.requests().last(), hexBytes("FF FF 01 0E 1E 1A 05 0C 03 00 73"));
    EXPECT_TRUE(h.state.link.RxBuffer.isEmpty());
    LoggerClock read;
    ASSERT_TRUE(h.link->ReadLoggerClock(read));
    EXPECT_EQ(read, set);
    EXPECT_TRUE(h.state.link.RxBuffer.isEmpty());
}

TEST(LinkClockTest, NakOrSilenceFailsAfterTheFullTime) {
    TcpHarness h;
    ASSERT_TRUE(h.link->OpenLink());
    h.sim.faults().nakCodes = {1, 2};
    QElapsedTimer timer;
    timer.start();
    EXPECT_FALSE(h.link->WriteLoggerClock(LoggerClock{}));
    EXPECT_GE(timer.elapsed(), shortTimeouts().replyMs); // a NAK does not end the wait early
    LoggerClock read{1, 2, 3, 4, 5, 6};
    EXPECT_FALSE(h.link->ReadLoggerClock(read));
    EXPECT_EQ(read, (LoggerClock{1, 2, 3, 4, 5, 6}));
    EXPECT_TRUE(h.state.link.RxBuffer.isEmpty());
}

TEST(LinkClockTest, ClockReplyIsNotTakenBeforeItsEighthByte) {
    TcpHarness h;
    ASSERT_TRUE(h.link->OpenLink());
    h.sim.faults().chunkSize = 7;
    h.sim.faults().chunkGapMs = 150;
    LoggerClock read;
    ASSERT_TRUE(h.link->ReadLoggerClock(read));
    EXPECT_EQ(read.year, QDate::currentDate().year() - 2000);
}

TEST(LinkWaitTest, WaitAckEndsOnAckAndFailsOnNak) {
    TcpHarness h;
    ASSERT_TRUE(h.link->OpenLink());
    ASSERT_TRUE(h.link->SendCommand(61, 0, 0, 0, 0, 0, 15));
    EXPECT_TRUE(h.link->WaitAck());
    EXPECT_EQ(h.sim.state().interval(), 15);
    h.sim.faults().nakCodes = {61};
    ASSERT_TRUE(h.link->SendCommand(61, 0, 0, 0, 0, 0, 30));
    EXPECT_FALSE(h.link->WaitAck());
    EXPECT_TRUE(h.state.link.NakFlag);
    EXPECT_EQ(h.state.link.RxBuffer, hexBytes("15")); // WaitAck leaves the buffer
}

TEST(LinkWaitTest, WaitReplyWantsExactLengthAndChecksum) {
    TcpHarness h;
    ASSERT_TRUE(h.link->OpenLink());
    h.sim.state().setInterval(20);
    ASSERT_TRUE(requestInterval(*h.link));
    ASSERT_TRUE(h.link->WaitReply(5));
    EXPECT_EQ(quint8(h.state.link.RxBuffer.at(2)), 20);
    EXPECT_EQ(h.op.busyDepth(), 0);
    EXPECT_GE(h.op.maxBusyDepth(), 1);

    ASSERT_TRUE(requestInterval(*h.link));
    EXPECT_FALSE(h.link->WaitReply(4)); // one byte more than expected fails

    for (auto fault : {&sim::SimFaults::extraByteCodes, &sim::SimFaults::dropByteCodes,
                       &sim::SimFaults::corruptCodes}) {
        h.sim.faults() = sim::SimFaults{};
        (h.sim.faults().*fault) = {3};
        ASSERT_TRUE(requestInterval(*h.link));
        EXPECT_FALSE(h.link->WaitReply(5));
    }
}

TEST(LinkWaitTest, SplitCounterReplyArrivesWhole) {
    TcpHarness h;
    ASSERT_TRUE(h.link->OpenLink());
    h.sim.faults().chunkSize = 50;
    h.sim.faults().chunkGapMs = 2;
    ASSERT_TRUE(h.link->SendCommand(3, 0, 0, 0, 0x63, 0, 0x60));
    EXPECT_TRUE(h.link->WaitReply(kCounterReplySize));
}

TEST(LinkWaitTest, WaitLetsTimeAndEventsPass) {
    TcpHarness h;
    bool fired = false;
    QTimer::singleShot(20, [&fired] { fired = true; });
    QElapsedTimer timer;
    timer.start();
    h.link->Wait(0.1);
    EXPECT_GE(timer.elapsed(), 100);
    EXPECT_TRUE(fired);
}

TEST(LinkSendTest, RefusesValuesOutsideAByteAndAnUnconnectedSocket) {
    TcpHarness h;
    EXPECT_FALSE(h.link->SendCommand(56, 0, 0, 0, 0, 0, 0)); // not connected: silent
    EXPECT_TRUE(h.op.shown().isEmpty());
    ASSERT_TRUE(h.link->OpenLink());
    EXPECT_FALSE(h.link->SendCommand(56, 0, 0, 0, 0, -1, 0));
    EXPECT_EQ(h.op.shown().size(), 1);
    EXPECT_FALSE(h.link->SendCommand(56, 256, 0, 0, 0, 0, 0));
    QTest::qWait(50);
    EXPECT_TRUE(h.sim.requests().isEmpty());
}

TEST(LinkOpenTest, RefusedOrUnreachableTcpFailsSilently) {
    QTcpServer probe;
    ASSERT_TRUE(probe.listen(QHostAddress::LocalHost));
    const quint16 freePort = probe.serverPort();
    probe.close();
    TcpHarness h;
    h.state.settings.Portnumber = QString::number(freePort);
    EXPECT_FALSE(h.link->OpenLink());
    EXPECT_TRUE(h.op.shown().isEmpty());
    for (qint16 type : {qint16(3), qint16(4), qint16(0)}) { // modems and unset go over TCP too
        h.state.settings.ConnType = type;
        h.state.settings.Portnumber = QString::number(h.sim.tcpPort());
        EXPECT_TRUE(h.link->OpenLink()) << type;
    }
}

TEST(LinkOpenTest, LoggerThatHangsUpGivesNoReplyAndTheNextOpenReconnects) {
    TcpHarness h;
    h.sim.faults().closeCodes = {59};
    ASSERT_TRUE(h.link->OpenLink());
    EXPECT_EQ(h.link->ReadLoggerSerial(), QStringLiteral("False"));
    EXPECT_EQ(h.link->TCP().state(), QAbstractSocket::UnconnectedState);
    EXPECT_FALSE(h.link->SendCommand(59, 0, 0, 0, 0, 0, 0)); // silent: not connected
    EXPECT_TRUE(h.op.shown().isEmpty());
    h.sim.faults() = {};
    ASSERT_TRUE(h.link->OpenLink());
    EXPECT_EQ(h.link->ReadLoggerSerial(), h.sim.state().serial);
}

TEST(LinkOpenTest, PortTextThatIsNotANumberIsReported) {
    TcpHarness h;
    h.state.settings.Portnumber = QStringLiteral("31O1");
    EXPECT_FALSE(h.link->OpenLink());
    ASSERT_EQ(h.op.shown().size(), 1);
    EXPECT_TRUE(h.op.lastText().contains("31O1"));
}

TEST(LinkOpenTest, ClientsComeOneAfterAnother) {
    TcpHarness h;
    for (int round = 0; round < 3; ++round) {
        ASSERT_TRUE(h.link->OpenLink());
        EXPECT_EQ(h.link->ReadLoggerSerial(), h.sim.state().serial);
        h.link->CloseLink();
        QTest::qWait(20);
    }
    // opening again without closing first starts a new connection
    ASSERT_TRUE(h.link->OpenLink());
    ASSERT_TRUE(h.link->OpenLink());
    EXPECT_EQ(h.link->ReadLoggerSerial(), h.sim.state().serial);
    EXPECT_EQ(h.sim.connections(), 5);
}

// ---- re-entrancy ----

TEST(LinkBusyTest, SecondExchangeDuringAWaitIsRefusedWithoutTouchingTheBuffer) {
    TcpHarness h;
    h.sim.faults().chunkSize = 3;
    h.sim.faults().chunkGapMs = 100;
    ASSERT_TRUE(h.link->OpenLink());
    ASSERT_TRUE(requestInterval(*h.link));
    bool sent = true, opened = true;
    QString serial;
    QByteArray bufferBefore, bufferAfter;
    QTimer::singleShot(50, [&] {
        EXPECT_TRUE(h.link->isBusy());
        bufferBefore = h.state.link.RxBuffer;
        sent = h.link->SendCommand(59, 0, 0, 0, 0, 0, 0);
        opened = h.link->OpenLink();
        serial = h.link->ReadLoggerSerial();
        h.link->Wait(1.0);
        h.link->CloseLink();
        bufferAfter = h.state.link.RxBuffer;
    });
    EXPECT_TRUE(h.link->WaitReply(5));
    EXPECT_FALSE(sent);
    EXPECT_FALSE(opened);
    EXPECT_EQ(serial, QStringLiteral("False"));
    EXPECT_EQ(bufferBefore, bufferAfter);
    EXPECT_EQ(h.sim.requestCodes(), QList<int>{3});
    EXPECT_GE(h.op.shown().size(), 4);
    EXPECT_EQ(h.op.shown().first().text, Link::busyText());
    EXPECT_FALSE(h.link->isBusy());
    EXPECT_EQ(h.link->TCP().state(), QAbstractSocket::ConnectedState); // not closed under it
}

TEST(LinkBusyTest, DeleteLaterDuringAWaitEndsTheWaitThenDeletes) {
    TcpHarness h;
    h.link->setTimeouts(LinkTimeouts{});
    h.sim.faults().silent = true;
    ASSERT_TRUE(h.link->OpenLink());
    Link* link = h.link.release();
    QPointer<Link> watch(link);
    ASSERT_TRUE(link->SendCommand(59, 0, 0, 0, 0, 0, 0));
    QTimer::singleShot(30, link, &QObject::deleteLater);
    QElapsedTimer timer;
    timer.start();
    EXPECT_FALSE(link->WaitReply(13));
    EXPECT_LT(timer.elapsed(), 4000);
    EXPECT_TRUE(watch); // still there while its routine returns
    QTest::qWait(20);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(watch);
}

TEST(LinkBusyTest, LinkDestroyedInsideAWaitEndsTheWaitCleanly) {
    TcpHarness h;
    h.link->setTimeouts(LinkTimeouts{});
    h.sim.faults().silent = true;
    ASSERT_TRUE(h.link->OpenLink());
    Link* link = h.link.release();
    QTimer::singleShot(30, [link] { delete link; });
    QElapsedTimer timer;
    timer.start();
    EXPECT_EQ(link->ReadLoggerSerial(), QStringLiteral("False"));
    EXPECT_LT(timer.elapsed(), 4000);
}
