// Requests and waits of the link against the simulated logger, the endpoint of the settings,
// lost connections, bounded input and the serial line.
#include "CommandFrame.h"
#include "CounterReadout.h"
#include "LinkHarness.h"
#include "LoggerCodes.h"
#include "LoggerReplies.h"
#include "PseudoTerminals.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QSerialPort>
#include <QTest>
#include <gtest/gtest.h>
#include <limits>

using namespace nodalyx;
using namespace nodalyx::test;
using sim::SimFaults;

// Each row: a clock and a serial-number read under one fault. A reply that fails leaves what
// was read before; none leaves a byte behind or tells the operator anything.
TEST(LinkExchangeTest, RepliesLateNoisyShortOrMissing) {
    const QString serial = QString::fromLatin1("\311B345678"); // one character a byte, not UTF-8
    const LoggerClock set{14, 30, 26, 5, 12, 3}, before{1, 2, 3, 4, 5, 6};
    const struct {
        const char* what;
        SimFaults fault;
        bool clock, serial; // read
        int replyMs = 400;
    } rows[] = {
        {"checksums never come: taken at the deadline", {.dropByteCodes = {2, 59}}, true, true},
        {"the last byte comes late", {.lateByteMs = 120}, true, true, 1500},
        {"noise in front of every reply", {.strayBytes = 5}, true, true},
        {"noise behind every reply", {.floodBytes = 7}, true, true},
        {"no reply", {.silent = true}, false, false},
        {"NAK: the wait still runs to its end", {.nakCodes = {1, 2, 59}}, false, false},
        {"corrupted: the serial number is not checked", {.corruptCodes = {2, 59}}, false, true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        Harness h;
        LinkTimeouts limits = shortTimeouts();
        limits.replyMs = row.replyMs;
        h.link->setTimeouts(limits);
        h.sim.state().serial = serial;
        ASSERT_TRUE(h.link->OpenLink());
        ASSERT_TRUE(h.link->WriteLoggerClock(set));
        h.sim.faults() = row.fault;
        QElapsedTimer timer;
        timer.start();
        LoggerClock clock = before;
        EXPECT_EQ(h.link->ReadLoggerClock(clock), row.clock);
        EXPECT_EQ(clock, row.clock ? set : before);
        const bool corrupt = !row.fault.corruptCodes.isEmpty();
        EXPECT_EQ(corrupt, h.link->lastFailure().contains("checksum"));
        EXPECT_EQ(h.link->ReadLoggerSerial(), row.serial ? std::optional(serial) : std::nullopt);
        EXPECT_EQ(h.sim.requestCodes(), (QList<int>{1, 2, 59}));
        EXPECT_TRUE(h.link->rxBuffer().isEmpty());
        EXPECT_TRUE(h.op.shown().isEmpty());
        if (!row.serial) { // nor does a refused or unanswered clock write end early
            EXPECT_FALSE(h.link->WriteLoggerClock(set));
        }
        EXPECT_TRUE(row.serial || timer.elapsed() >= 3 * row.replyMs);
    }
}

TEST(LinkOpenTest, TypesThatGoOverTcpAndALoggerThatHangsUp) {
    Harness h;
    EXPECT_FALSE(h.link->SendCommand(Command::of(56, 0, 0, 0, 0, 0, 0))); // not connected: silent
    for (qint16 type : {0, 3, 4}) {                                       // unset and the modems
        h.state.settings.ConnType = type;
        EXPECT_TRUE(h.link->OpenLink()) << type;
    }
    // a logger that hangs up ends the wait at once, and the next open reconnects
    h.sim.faults().closeCodes = {59};
    ASSERT_TRUE(h.link->OpenLink());
    QElapsedTimer timer;
    timer.start();
    EXPECT_FALSE(h.link->ReadLoggerSerial());
    EXPECT_LT(timer.elapsed(), shortTimeouts().replyMs);
    EXPECT_EQ(h.link->lastFailure(), QStringLiteral("connection lost"));
    EXPECT_FALSE(h.link->SendCommand(Command::of(59, 0, 0, 0, 0, 0, 0))); // silent: not connected
    ASSERT_EQ(h.op.messages().size(), 1); // told once, after the wait
    EXPECT_TRUE(h.op.lastText().contains("closed the connection"));
    h.sim.faults() = {};
    ASSERT_TRUE(h.link->OpenLink());
    ASSERT_TRUE(h.link->OpenLink()); // opening again without closing starts a new connection
    EXPECT_EQ(h.link->ReadLoggerSerial(), h.sim.state().serial);
    EXPECT_EQ(h.sim.connections(), 6);
}

TEST(LinkBusyTest, SecondExchangeOrLeaseDuringAWaitIsRefusedWithoutTouchingTheBuffer) {
    Harness h;
    h.sim.faults() = {.chunkSize = 3, .chunkGapMs = 100};
    ASSERT_TRUE(h.link->OpenLink());
    ASSERT_TRUE(h.link->SendCommand(Command::of(3, 0, 0, 10, 0, 9, 0)));
    bool sent = true, opened = true, leased = true;
    QString why;
    std::optional<QString> serial = QStringLiteral("none read");
    QByteArray bufferBefore, bufferAfter;
    RefreshOutcome refreshed{true, true, true};
    qsizetype shownDuringTheWait = -1;
    QTimer::singleShot(50, [&] {
        bufferBefore = h.link->rxBuffer();
        sent = h.link->SendCommand(Command::of(59, 0, 0, 0, 0, 0, 0));
        opened = h.link->OpenLink();
        serial = h.link->ReadLoggerSerial();
        leased = bool(h.link->TakeLease(QStringLiteral("the upload"), &why));
        h.link->Wait(1.0);
        h.link->CloseLink();
        refreshed = RefreshFromLogger(h.state, *h.link, h.op);
        bufferAfter = h.link->rxBuffer();
        shownDuringTheWait = h.op.shown().size();
    });
    EXPECT_TRUE(h.link->WaitReply(5));
    EXPECT_EQ(std::tuple(sent, opened, serial, leased, refreshed.countersRead),
              std::tuple(false, false, std::nullopt, false, false));
    EXPECT_EQ(why, Link::busyText());
    EXPECT_EQ(bufferBefore, bufferAfter);
    EXPECT_EQ(h.sim.requestCodes(), QList<int>{3});
    EXPECT_EQ(shownDuringTheWait, 0); // the busy notice comes once, when the wait has ended
    EXPECT_EQ(h.op.messages(), QStringList{Link::busyText()});
    EXPECT_FALSE(h.link->isBusy());
    EXPECT_EQ(h.link->transport().tcp().state(), QAbstractSocket::ConnectedState);
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
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_FALSE(watch);
    }
}

// With the real limits a reply 1.5 s late is still taken; once the program is closing (the
// main window closed during a read-out: event loops no longer run) waits end at once.
TEST(LinkBusyTest, RealLimitsAndWaitsEndAtOnceWhenTheProgramEnds) {
    Harness h;
    h.link->setTimeouts(LinkTimeouts{});
    h.sim.faults().delayMs = 1500;
    ASSERT_TRUE(h.link->OpenLink());
    EXPECT_EQ(h.link->ReadLoggerSerial(), h.sim.state().serial);
    h.sim.faults() = {.silent = true};
    QTimer::singleShot(30, [] { QCoreApplication::exit(0); });
    QElapsedTimer timer;
    timer.start();
    ASSERT_TRUE(h.link->SendCommand(Command::of(3, 0, 0, 0, 0x63, 0, 0x60)));
    EXPECT_FALSE(h.link->WaitReply(772));
    EXPECT_FALSE(h.link->ReadLoggerSerial());
    EXPECT_LT(timer.elapsed(), 2000); // not two full 5 s limits, spinning
    // one more run of the application's loop, so that later tests have working loops
    QTimer::singleShot(0, [] { QCoreApplication::exit(0); });
    QCoreApplication::exec();
}

TEST(LinkEndpointTest, SwitchingTheLocationReachesTheOtherLogger) {
    for (bool serial : tcpAndSerial()) {
        SCOPED_TRACE(serial ? "COM7, then COM8" : "TCP");
        Harness h(serial);
        sim::LoggerSim other;
        other.setGrowing(false);
        ASSERT_TRUE(h.ok && (serial ? other.openPty() : other.listenTcp()));
        h.sim.state().serial = QStringLiteral("LOGGER-A");
        other.state().serial = QStringLiteral("LOGGER-B");
        ASSERT_TRUE(h.link->OpenLink());
        EXPECT_EQ(h.link->ReadLoggerSerial(), QStringLiteral("LOGGER-A"));
        qputenv("NODALYX_COM8", other.ptyDevice().toLocal8Bit());
        h.state.settings.Comport = 8;
        h.state.settings.Portnumber = QString::number(other.tcpPort());
        ASSERT_TRUE(h.link->OpenLink());
        EXPECT_EQ(h.link->ReadLoggerSerial(), QStringLiteral("LOGGER-B"));
        EXPECT_EQ(h.sim.requestCodes(), QList<int>{cmd::ReadSerial});
        h.state.settings.ConnType = serial ? 2 : 1; // the settings now say the other type
        h.link->CloseLink();
        EXPECT_FALSE(h.link->transport().serial().isOpen());
        EXPECT_EQ(h.link->transport().tcp().state(), QAbstractSocket::UnconnectedState);
        qunsetenv("NODALYX_COM8");
    }
}

// Port 0 cannot be reached, and a larger number must never wrap round to the logger's port.
TEST(LinkEndpointTest, PortsOutsideOneTo65535AreRefusedBeforeAnythingConnects) {
    Harness h;
    const QString wrapped = QString::number(h.sim.tcpPort() + 65536);
    for (const QString& port : {wrapped, QStringLiteral("0"), QStringLiteral("abc"), QString()}) {
        SCOPED_TRACE(port.toStdString());
        h.state.settings.Portnumber = port;
        EXPECT_FALSE(h.link->OpenLink());
        EXPECT_EQ(h.link->lastFailure(),
                  "The port number \"" + port + "\" is not a number from 1 to 65535.");
        EXPECT_TRUE(h.link->connectionFailedText().contains(h.link->lastFailure()));
    }
    QTest::qWait(50);
    EXPECT_EQ(h.sim.connections(), 0);
    EXPECT_TRUE(h.op.shown().isEmpty()); // the link tells nothing: the session does
}

TEST(LinkLossTest, ASerialDeviceThatVanishesEndsTheWaitAndIsToldAfterIt) {
    NODALYX_NEEDS_PSEUDO_TERMINALS();
    Harness h(true);
    ASSERT_TRUE(h.ok);
    LinkTimeouts limits = shortTimeouts();
    limits.replyMs = 3000;
    h.link->setTimeouts(limits);
    h.sim.faults().silent = true;
    ASSERT_TRUE(h.link->OpenLink());
    qsizetype shownInsideTheWait = -1;
    // with the link as context: a timer still pending when the test ends goes with it
    QTimer::singleShot(60, h.link.get(), [&] { h.sim.closePty(); });
    QTimer::singleShot(300, h.link.get(), [&] { shownInsideTheWait = h.op.shown().size(); });
    QElapsedTimer timer;
    timer.start();
    EXPECT_FALSE(h.link->ReadLoggerSerial());
    EXPECT_LT(timer.elapsed(), 1500);
    EXPECT_EQ(h.link->lastFailure(), QStringLiteral("connection lost"));
    EXPECT_LE(shownInsideTheWait, 0); // nothing inside the wait (or the wait ended before)
    ASSERT_EQ(h.op.shown().size(), 1);
    EXPECT_TRUE(h.op.lastText().contains("no longer available") ||
                h.op.lastText().contains("reading failed"));
}

TEST(LinkLossTest, AFloodIsBoundedCountedAndReported) {
    Harness h;
    qint64 told = 0;
    QObject::connect(h.link.get(), &Link::inputDropped, [&told](qint64 n) { told += n; });
    ASSERT_TRUE(h.link->OpenLink());
    h.sim.faults().floodBytes = 3 * kRxBufferLimit;
    ASSERT_TRUE(h.link->SendCommand(Command::of(cmd::ReadSerial, 0, 0, 0, 0, 0, 0)));
    EXPECT_FALSE(h.link->WaitRaw(4 * kRxBufferLimit, 800)); // more than the buffer may hold
    EXPECT_EQ(h.link->rxBuffer().size(), kRxBufferLimit);
    ASSERT_FALSE(h.op.shown().isEmpty());
    EXPECT_TRUE(h.op.lastText().contains("bytes were dropped"));
    h.sim.faults() = {};
    EXPECT_EQ(h.link->ReadLoggerSerial(), h.sim.state().serial); // the rest is dropped first
    EXPECT_EQ(told, h.link->droppedBytes());
    EXPECT_GT(told, kRxBufferLimit);
}

namespace {
struct PtyLinkTest : ::testing::Test {
    Harness h{true};
    void SetUp() override {
        NODALYX_NEEDS_PSEUDO_TERMINALS();
        ASSERT_TRUE(h.ok) << h.sim.errorString().toStdString();
    }
};
} // namespace

// A location's port number from a file that no device can be made of is refused by name.
TEST_F(PtyLinkTest, PortNumbersThatNameNoDeviceAreRefused) {
    EXPECT_FALSE(h.link->SendCommand(Command::of(59, 0, 0, 0, 0, 0, 0))); // port closed: reported
    EXPECT_EQ(h.op.shown().size(), 1);
    const auto start = [&] {
        return LoggerSession(*h.link, h.op, h.state.settings, refreshPolicy()).start();
    };
    for (const float comport :
         {0.0f, -3.0f, 255.6f, 1e20f, std::numeric_limits<float>::quiet_NaN()}) {
        SCOPED_TRACE(comport);
        h.op.clear();
        h.state.settings.Comport = comport;
        EXPECT_EQ(start(), LoggerSession::Start::OpenFailed);
        ASSERT_EQ(h.op.shown().size(), 1);
        EXPECT_TRUE(h.op.lastText().startsWith("The location names no serial port"));
    }
}

// While the poll timer is stopped (as while the highway test owns the port) bytes stay on the
// port: a reply that came after its request gave up is never taken for the next answer. A port
// left open at another speed is opened afresh at 19200.
TEST_F(PtyLinkTest, ALateReplyLeftOnThePortIsDroppedAndThePortKeptAt19200) {
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

    LinkTimeouts slowPoll = shortTimeouts();
    slowPoll.pollMs = 60000; // only readyRead can deliver within the test
    h.link->setTimeouts(slowPoll);
    h.link->transport().serial().setBaudRate(9600);
    EXPECT_TRUE(h.link->OpenLink());
    EXPECT_EQ(h.link->transport().serial().baudRate(), 19200);
    EXPECT_EQ(h.link->ReadLoggerSerial(), QStringLiteral("FRESH"));
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
    h.sim.closePty();
    h.link->Wait(0.5); // five poll ticks
    ASSERT_EQ(h.op.shown().size(), 2);
    EXPECT_TRUE(h.op.lastText().contains(h.sim.ptyDevice()));
    EXPECT_TRUE(h.op.lastText().contains("the port was closed"));
    EXPECT_FALSE(h.link->transport().serial().isOpen());
}
