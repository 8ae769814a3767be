// Requests and waits of the link against the simulated logger, over TCP loopback and over a
// pseudo-terminal opened through NODALYX_COM7.
#include "CommandFrame.h"
#include "CounterReadout.h"
#include "LinkHarness.h"
#include "LoggerReplies.h"
#include "LoggerSession.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QTest>
#include <gtest/gtest.h>
#include <limits>

using namespace nodalyx;
using namespace nodalyx::test;
using sim::SimFaults;

TEST(LinkSerialNumberTest, ReplyWholeInPiecesShortOrMissing) {
    const char* const serial = "\311B345678"; // 0xC9 first: one character a byte, not UTF-8
    const struct {
        const char* what;
        SimFaults fault;
        const char* expected;
    } rows[] = {
        {"whole", {}, serial},
        {"pieces with gaps longer than a poll", {.chunkSize = 4, .chunkGapMs = 25}, serial},
        {"checksum never comes: taken at the deadline", {.dropByteCodes = {59}}, serial},
        {"no reply", {.silent = true}, nullptr},
        {"NAK", {.nakCodes = {59}}, nullptr},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        Harness h;
        h.sim.state().serial = QString::fromLatin1(serial);
        h.sim.faults() = row.fault;
        ASSERT_TRUE(h.link->OpenLink());
        const std::optional<QString> expected =
            row.expected ? std::optional(QString::fromLatin1(row.expected)) : std::nullopt;
        EXPECT_EQ(h.link->ReadLoggerSerial(), expected);
        EXPECT_TRUE(h.link->rxBuffer().isEmpty());
        EXPECT_TRUE(h.op.shown().isEmpty());
        EXPECT_EQ(h.sim.requestCodes(), QList<int>{59});
    }
}

TEST(LinkTimeoutsTest, RealLimitsEndAnUnansweredRequestAfterFiveSeconds) {
    Harness h;
    h.sim.faults().silent = true;
    Link link(h.state.settings);
    tellNotices(link, h.op); // with its own time limits
    EXPECT_TRUE(link.transport().poll().isActive());
    ASSERT_TRUE(link.OpenLink());
    QElapsedTimer timer;
    timer.start();
    EXPECT_FALSE(link.ReadLoggerSerial());
    EXPECT_GE(timer.elapsed(), 5000);
    EXPECT_FALSE(link.isBusy());
}

// Wrong lengths and checksums of data replies are the read-out tests' failure rows.
TEST(LinkWaitTest, AckRepliesInPiecesTheClockAndNaks) {
    Harness h;
    ASSERT_TRUE(h.link->OpenLink());
    ASSERT_TRUE(h.link->SendCommand(Command::of(61, 0, 0, 0, 0, 0, 20)));
    EXPECT_TRUE(h.link->WaitAck());
    ASSERT_TRUE(
        h.link->SendCommand(Command::of(3, 0, 0, 10, 0, 9, 0))); // the interval byte: 5 back
    ASSERT_TRUE(h.link->WaitReply(5));
    EXPECT_EQ(quint8(h.link->rxBuffer().at(2)), 20);

    h.sim.faults() = {.chunkSize = 50, .chunkGapMs = 2};
    ASSERT_TRUE(
        h.link->SendCommand(Command::of(3, 0, 0, 0, 0x63, 0, 0x60))); // the counters of highway 1
    EXPECT_TRUE(h.link->WaitReply(kCounterReplySize));

    h.sim.faults().nakCodes = {61};
    ASSERT_TRUE(h.link->SendCommand(Command::of(61, 0, 0, 0, 0, 0, 30)));
    EXPECT_FALSE(h.link->WaitAck());
    EXPECT_TRUE(h.link->nakFlag());
    EXPECT_EQ(h.link->rxBuffer(), fromHex("15")); // WaitAck leaves the buffer

    const LoggerClock set{14, 30, 26, 5, 12, 3};
    ASSERT_TRUE(h.link->WriteLoggerClock(set));
    EXPECT_EQ(h.sim.requests().last(), fromHex("FF FF 01 0E 1E 1A 05 0C 03 00 73"));
    EXPECT_TRUE(h.link->rxBuffer().isEmpty());
    h.sim.faults() = {.chunkSize = 7, .chunkGapMs = 150}; // not taken before its eighth byte
    LoggerClock read;
    ASSERT_TRUE(h.link->ReadLoggerClock(read));
    EXPECT_EQ(read, set);
    EXPECT_TRUE(h.link->rxBuffer().isEmpty());

    h.sim.faults() = {.nakCodes = {1, 2}};
    QElapsedTimer timer;
    timer.start();
    EXPECT_FALSE(h.link->WriteLoggerClock(LoggerClock{}));
    EXPECT_GE(timer.elapsed(), shortTimeouts().replyMs); // a NAK does not end the wait early
    EXPECT_FALSE(h.link->ReadLoggerClock(read));
    EXPECT_EQ(read, set); // left as it was
    EXPECT_TRUE(h.link->rxBuffer().isEmpty());
}

TEST(LinkOpenTest, RefusalsTypesThatGoOverTcpAndALoggerThatHangsUp) {
    Harness h;
    EXPECT_FALSE(h.link->SendCommand(Command::of(56, 0, 0, 0, 0, 0, 0))); // not connected: silent
    EXPECT_TRUE(h.op.shown().isEmpty());
    for (qint16 type : {0, 3, 4}) { // unset and the modems
        h.state.settings.ConnType = type;
        EXPECT_TRUE(h.link->OpenLink()) << type;
    }
    h.state.settings.Portnumber = QStringLiteral("31O1");
    EXPECT_FALSE(h.link->OpenLink()); // silent, as every TCP failure: the reason is kept
    EXPECT_TRUE(h.op.shown().isEmpty());
    EXPECT_TRUE(h.link->connectionFailedText().contains("31O1"));
    QTest::qWait(50);
    EXPECT_TRUE(h.sim.requests().isEmpty());

    // a logger that hangs up gives no reply, and the next open reconnects
    h.op.clear();
    h.state.settings.Portnumber = QString::number(h.sim.tcpPort());
    h.sim.faults().closeCodes = {59};
    ASSERT_TRUE(h.link->OpenLink());
    QElapsedTimer timer;
    timer.start();
    EXPECT_FALSE(h.link->ReadLoggerSerial());
    EXPECT_LT(timer.elapsed(), shortTimeouts().replyMs); // the hang-up ends the wait at once
    EXPECT_EQ(h.link->lastFailure(), QStringLiteral("connection lost"));
    EXPECT_EQ(h.link->transport().tcp().state(), QAbstractSocket::UnconnectedState);
    EXPECT_FALSE(h.link->SendCommand(Command::of(59, 0, 0, 0, 0, 0, 0))); // silent: not connected
    ASSERT_EQ(h.op.messages().size(), 1); // told once, after the wait
    EXPECT_TRUE(h.op.lastText().contains("closed the connection"));
    h.op.clear();
    h.sim.faults() = {};
    ASSERT_TRUE(h.link->OpenLink());
    ASSERT_TRUE(h.link->OpenLink()); // opening again without closing starts a new connection
    EXPECT_EQ(h.link->ReadLoggerSerial(), h.sim.state().serial);
    EXPECT_EQ(h.sim.connections(), 6); // three of them for the types above
}

// ---- re-entrancy ----

TEST(LinkBusyTest, SecondExchangeDuringAWaitIsRefusedWithoutTouchingTheBuffer) {
    Harness h;
    h.sim.faults().chunkSize = 3;
    h.sim.faults().chunkGapMs = 100;
    ASSERT_TRUE(h.link->OpenLink());
    ASSERT_TRUE(h.link->SendCommand(Command::of(3, 0, 0, 10, 0, 9, 0)));
    bool sent = true, opened = true;
    std::optional<QString> serial = QStringLiteral("none read");
    QByteArray bufferBefore, bufferAfter;
    RefreshOutcome refreshed{true, true, true};
    qsizetype shownDuringTheWait = -1;
    QTimer::singleShot(50, [&] {
        EXPECT_TRUE(h.link->isBusy());
        bufferBefore = h.link->rxBuffer();
        sent = h.link->SendCommand(Command::of(59, 0, 0, 0, 0, 0, 0));
        opened = h.link->OpenLink();
        serial = h.link->ReadLoggerSerial();
        h.link->Wait(1.0);
        h.link->CloseLink();
        refreshed = RefreshFromLogger(h.state, *h.link, h.op);
        bufferAfter = h.link->rxBuffer();
        shownDuringTheWait = h.op.shown().size();
    });
    EXPECT_TRUE(h.link->WaitReply(5));
    EXPECT_FALSE(sent);
    EXPECT_FALSE(opened);
    EXPECT_FALSE(serial);
    EXPECT_FALSE(refreshed.countersRead);
    EXPECT_EQ(bufferBefore, bufferAfter);
    EXPECT_EQ(h.sim.requestCodes(), QList<int>{3});
    // No box inside the wait: the busy notice comes once, when the wait has ended.
    EXPECT_EQ(shownDuringTheWait, 0);
    EXPECT_EQ(h.op.messages(), QStringList{Link::busyText()});
    EXPECT_FALSE(h.link->isBusy());
    EXPECT_EQ(h.link->transport().tcp().state(),
              QAbstractSocket::ConnectedState); // not closed under it
}

TEST(LinkBusyTest, DestroyedDuringAWaitEndsTheWaitCleanly) {
    for (bool later : {true, false}) {
        SCOPED_TRACE(later ? "deleteLater" : "delete");
        Harness h;
        h.link->setTimeouts(LinkTimeouts{});
        h.sim.faults().silent = true;
        ASSERT_TRUE(h.link->OpenLink());
        Link* link = h.link.release();
        QPointer<Link> watch(link);
        QTimer::singleShot(30, [link, later] { later ? link->deleteLater() : delete link; });
        QElapsedTimer timer;
        timer.start();
        if (later) {
            ASSERT_TRUE(link->SendCommand(Command::of(59, 0, 0, 0, 0, 0, 0)));
            EXPECT_FALSE(link->WaitReply(13));
        } else {
            EXPECT_FALSE(link->ReadLoggerSerial());
        }
        EXPECT_LT(timer.elapsed(), 4000);
        EXPECT_EQ(bool(watch), later); // a deferred delete waits until the routine returns
        QTest::qWait(20);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_FALSE(watch);
    }
}

TEST(LinkBusyTest, WaitsEndAtOnceWhenTheProgramEnds) {
    Harness h;
    h.link->setTimeouts(LinkTimeouts{});
    h.sim.faults().silent = true;
    ASSERT_TRUE(h.link->OpenLink());
    // The main window closed during the read-out: event loops stop running from here on.
    QTimer::singleShot(30, [] { QCoreApplication::exit(0); });
    QElapsedTimer timer;
    timer.start();
    ASSERT_TRUE(h.link->SendCommand(Command::of(3, 0, 0, 0, 0x63, 0, 0x60)));
    EXPECT_FALSE(h.link->WaitReply(772));
    EXPECT_FALSE(h.link->ReadLoggerSerial());
    EXPECT_LT(timer.elapsed(), 2000); // not two full 5 s limits, spinning
    // Let the application's loop run once more so that later tests have working loops.
    QTimer::singleShot(0, [] { QCoreApplication::exit(0); });
    QCoreApplication::exec();
}

// ---- serial line ----

namespace {
struct PtyLinkTest : ::testing::Test {
    Harness h{true};
    void SetUp() override { ASSERT_TRUE(h.ok) << h.sim.errorString().toStdString(); }
};
} // namespace

TEST_F(PtyLinkTest, PortThatCannotBeOpenedIsReportedByName) {
    qputenv("NODALYX_COM7", "/dev/nodalyx-no-such-port");
    EXPECT_FALSE(h.link->OpenLink()); // the link tells nothing: the session does
    EXPECT_EQ(h.link->lastError(), LinkError::OpenFailed);
    EXPECT_TRUE(h.op.shown().isEmpty());
    const auto start = [&] {
        return LoggerSession(*h.link, h.op, h.state.settings, refreshPolicy()).start();
    };
    EXPECT_EQ(start(), LoggerSession::Start::OpenFailed);
    ASSERT_EQ(h.op.shown().size(), 1);
    EXPECT_TRUE(h.op.lastText().contains("/dev/nodalyx-no-such-port"));
    EXPECT_FALSE(h.link->SendCommand(Command::of(59, 0, 0, 0, 0, 0, 0))); // port closed: reported
    EXPECT_EQ(h.op.shown().size(), 2);
    for (const float comport :
         {0.0f, -3.0f, 255.6f, 1e20f, std::numeric_limits<float>::quiet_NaN()}) {
        SCOPED_TRACE(comport);
        h.op.clear();
        h.state.settings.Comport = comport; // a number from a file: no device can be made of it
        EXPECT_EQ(start(), LoggerSession::Start::OpenFailed);
        ASSERT_EQ(h.op.shown().size(), 1);
        EXPECT_TRUE(h.op.lastText().startsWith("The location names no serial port"));
    }
}

// Bytes are taken off the port while the poll timer runs, as they arrive; while it is stopped
// they are left to whoever stopped it.
TEST_F(PtyLinkTest, OpenPortIsKeptOnlyAt19200AndReadOnlyWhileThePollTimerRuns) {
    ASSERT_TRUE(h.link->OpenLink());
    h.link->transport().poll().stop();
    ASSERT_TRUE(h.link->SendCommand(Command::of(59, 0, 0, 0, 0, 0, 0)));
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return h.link->transport().serial().bytesAvailable() == 13; }, 2000));
    EXPECT_TRUE(h.link->rxBuffer().isEmpty());
    h.link->transport().poll().start();
    EXPECT_TRUE(QTest::qWaitFor([&] { return h.link->rxBuffer().size() == 13; }, 2000));

    LinkTimeouts slowPoll = shortTimeouts();
    slowPoll.pollMs = 60000; // only readyRead can deliver within the test
    h.link->setTimeouts(slowPoll);
    h.link->transport().serial().setBaudRate(
        9600); // not the link's endpoint: opened afresh at 19200
    EXPECT_TRUE(h.link->OpenLink());
    EXPECT_EQ(h.link->transport().serial().baudRate(), 19200);
    EXPECT_EQ(h.link->ReadLoggerSerial(), h.sim.state().serial);
}

// A reply that came after its request had given up, and that nobody took off the port (the
// poll timer was stopped, as while the highway test owns the port), is dropped before the
// next request: the next request gets its own answer, not the late one.
TEST_F(PtyLinkTest, ALateReplyStillUnreadIsNeverTakenForTheNextAnswer) {
    ASSERT_TRUE(h.link->OpenLink());
    h.sim.state().serial = QStringLiteral("LATE");
    h.sim.faults().delayMs = 700; // the wait gives up after 400 ms
    EXPECT_FALSE(h.link->ReadLoggerSerial());
    h.link->transport().poll().stop();
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return h.link->transport().serial().bytesAvailable() == 13; }, 3000));
    EXPECT_TRUE(h.link->rxBuffer().isEmpty());
    h.sim.faults() = {};
    h.sim.state().serial = QStringLiteral("FRESH");
    h.link->transport().poll().start();
    EXPECT_EQ(h.link->ReadLoggerSerial(), QStringLiteral("FRESH"));
    EXPECT_EQ(h.link->droppedBytes(), 13);
}

TEST_F(PtyLinkTest, ReceiveErrorsAreReportedOnceUntilThePortWorksAgain) {
    ASSERT_TRUE(h.link->OpenLink());
    for (int tick = 0; tick < 5; ++tick) {
        emit h.link->transport().serial().errorOccurred(QSerialPort::ReadError);
        EXPECT_TRUE(h.link->OpenLink()); // reopened: the port opens but has not worked yet
    }
    EXPECT_EQ(h.op.shown().size(), 1);
    EXPECT_EQ(h.link->ReadLoggerSerial(), h.sim.state().serial); // bytes flow again

    // a device that hangs up fails every read: reported once, then closed
    int errors = 0;
    QObject::connect(
        &h.link->transport().serial(), &QSerialPort::errorOccurred,
        [&errors](QSerialPort::SerialPortError e) { errors += e != QSerialPort::NoError; });
    h.sim.closePty();
    QElapsedTimer timer;
    timer.start();
    h.link->Wait(0.5); // five poll ticks
    EXPECT_GE(timer.elapsed(), 500);
    ASSERT_EQ(h.op.shown().size(), 2);
    EXPECT_TRUE(h.op.lastText().contains(h.sim.ptyDevice()));
    EXPECT_TRUE(h.op.lastText().contains("the port was closed"));
    EXPECT_FALSE(h.link->transport().serial().isOpen());
    EXPECT_LE(errors, 2);
}
