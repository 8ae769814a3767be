// The link as a foundation for long sequences: clean boundaries between exchanges, the
// endpoint of the settings, lost connections, bounded input, slow lines, and the lease.
#include "LinkHarness.h"
#include "LoggerCodes.h"

#include <QElapsedTimer>
#include <QSerialPort>
#include <QTest>
#include <gtest/gtest.h>

using namespace nodalyx;
using namespace nodalyx::test;
using sim::SimFaults;

namespace {
const QString kSerial = QStringLiteral("SN0042");

LinkTimeouts withReplyMs(int ms) {
    LinkTimeouts t = shortTimeouts();
    t.replyMs = ms;
    return t;
}
} // namespace

// ---- no byte of one exchange leaks into the next ----

TEST(LinkBoundaryTest, LateStrayAndLeftOverBytesNeverStartTheNextReply) {
    const struct {
        const char* what;
        SimFaults fault;
    } rows[] = {
        {"the clock's last byte comes late", {.lateByteMs = 120}},
        {"noise in front of every reply", {.strayBytes = 5}},
        {"noise behind every reply", {.floodBytes = 7}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        Harness h;
        h.link->setTimeouts(withReplyMs(1500));
        h.sim.state().serial = kSerial;
        h.sim.faults() = row.fault;
        ASSERT_TRUE(h.link->OpenLink());
        LoggerClock clock;
        EXPECT_TRUE(h.link->ReadLoggerClock(clock));
        EXPECT_EQ(h.link->ReadLoggerSerial(), kSerial);
        // A wait that takes only part of a reply leaves the rest on the line; it is dropped
        // before the next request.
        ASSERT_TRUE(h.link->SendCommand(Command::of(cmd::ReadClock, 0, 0, 0, 0, 0, 0)));
        EXPECT_TRUE(h.link->WaitRaw(3));
        QTest::qWait(row.fault.lateByteMs + 50);
        EXPECT_EQ(h.link->ReadLoggerSerial(), kSerial);
        EXPECT_TRUE(h.op.shown().isEmpty());
    }
}

TEST(LinkBoundaryTest, ClockRepliesAreCheckedAndSlowPiecesAreReadWhole) {
    Harness h;
    h.link->setTimeouts(withReplyMs(3000));
    h.sim.state().serial = QStringLiteral("1234567890");
    ASSERT_TRUE(h.link->OpenLink());
    h.sim.faults() = {.corruptCodes = {cmd::ReadClock}};
    LoggerClock clock{1, 2, 3, 4, 5, 6};
    EXPECT_FALSE(h.link->ReadLoggerClock(clock));
    EXPECT_EQ(clock, (LoggerClock{1, 2, 3, 4, 5, 6})); // a corrupted reply is no answer
    EXPECT_TRUE(h.link->lastFailure().contains("checksum"));

    // a modem or radio path: pieces with gaps of several hundred milliseconds
    h.sim.faults() = {.chunkSize = 3, .chunkGapMs = 250};
    EXPECT_EQ(h.link->ReadLoggerSerial(), QStringLiteral("1234567890"));
    EXPECT_TRUE(h.link->ReadLoggerClock(clock));
    EXPECT_EQ(h.link->ReadLoggerSerial(), QStringLiteral("1234567890"));
}

// ---- the endpoint of the settings, not whatever is open ----

TEST(LinkEndpointTest, SwitchingTheLocationReachesTheOtherLogger) {
    Harness h; // logger A on TCP
    sim::LoggerSim other;
    ASSERT_TRUE(other.listenTcp());
    h.sim.state().serial = QStringLiteral("LOGGER-A");
    other.state().serial = QStringLiteral("LOGGER-B");
    ASSERT_TRUE(h.link->OpenLink());
    EXPECT_EQ(h.link->ReadLoggerSerial(), QStringLiteral("LOGGER-A"));
    h.state.settings.Portnumber = QString::number(other.tcpPort()); // another location
    ASSERT_TRUE(h.link->OpenLink());
    EXPECT_EQ(h.link->ReadLoggerSerial(), QStringLiteral("LOGGER-B"));
    EXPECT_EQ(h.sim.requestCodes(), QList<int>{cmd::ReadSerial});
}

// A port number outside 1..65535 is refused with its reason before anything connects: port 0
// cannot be reached, and a larger number must never wrap round to the logger's own port.
TEST(LinkEndpointTest, PortsOutsideOneTo65535AreRefusedBeforeAnythingConnects) {
    Harness h;
    const QString wrapped = QString::number(h.sim.tcpPort() + 65536); // would wrap to the logger
    for (const QString& port : {wrapped, QStringLiteral("0"), QStringLiteral("-1"),
                                QStringLiteral("65536"), QStringLiteral("abc"), QString()}) {
        SCOPED_TRACE(port.toStdString());
        h.state.settings.Portnumber = port;
        EXPECT_FALSE(h.link->OpenLink());
        EXPECT_EQ(h.link->lastFailure(),
                  "The port number \"" + port + "\" is not a number from 1 to 65535.");
        EXPECT_TRUE(h.link->connectionFailedText().contains(h.link->lastFailure()));
    }
    QTest::qWait(50);
    EXPECT_EQ(h.sim.connections(), 0);
    h.state.settings.Portnumber = QString::number(h.sim.tcpPort());
    EXPECT_TRUE(h.link->OpenLink()); // the same harness reaches the logger with its own port
}

TEST(LinkEndpointTest, SerialPortsAreTheSettingsPortAndCloseLinkClosesWhateverIsOpen) {
    Harness h(true); // logger A on COM7
    ASSERT_TRUE(h.ok);
    sim::LoggerSim other;
    ASSERT_TRUE(other.openPty());
    other.setGrowing(false);
    qputenv("NODALYX_COM8", other.ptyDevice().toLocal8Bit());
    h.sim.state().serial = QStringLiteral("ON-COM7");
    other.state().serial = QStringLiteral("ON-COM8");
    ASSERT_TRUE(h.link->OpenLink());
    EXPECT_EQ(h.link->ReadLoggerSerial(), QStringLiteral("ON-COM7"));
    h.state.settings.Comport = 8;
    ASSERT_TRUE(h.link->OpenLink());
    EXPECT_TRUE(other.ptyDevice().endsWith(h.link->transport().serial().portName()));
    EXPECT_EQ(h.link->ReadLoggerSerial(), QStringLiteral("ON-COM8"));

    h.state.settings.ConnType = 2; // the settings now say LAN; the serial port is what is open
    h.link->CloseLink();
    EXPECT_FALSE(h.link->transport().serial().isOpen());
    qunsetenv("NODALYX_COM8");
}

// ---- lost connections and bounded input ----

TEST(LinkLossTest, ASerialDeviceThatVanishesEndsTheWaitAndIsToldAfterIt) {
    Harness h(true);
    ASSERT_TRUE(h.ok);
    h.link->setTimeouts(withReplyMs(3000));
    h.sim.faults().silent = true;
    ASSERT_TRUE(h.link->OpenLink());
    qsizetype shownInsideTheWait = -1;
    // With the link as context: a timer still pending when the test ends goes with it.
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
    h.link->setTimeouts(withReplyMs(1500));
    h.sim.state().serial = kSerial;
    QList<std::pair<qint64, QString>> drops;
    QObject::connect(h.link.get(), &Link::inputDropped, [&drops](qint64 n, const QString& why) {
        drops.append({n, why});
    });
    ASSERT_TRUE(h.link->OpenLink());
    h.sim.faults().floodBytes = 3 * kRxBufferLimit;
    ASSERT_TRUE(h.link->SendCommand(Command::of(cmd::ReadSerial, 0, 0, 0, 0, 0, 0)));
    EXPECT_FALSE(h.link->WaitRaw(4 * kRxBufferLimit, 800)); // more than the buffer may hold
    EXPECT_EQ(h.link->rxBuffer().size(), kRxBufferLimit);
    ASSERT_FALSE(h.op.shown().isEmpty());
    EXPECT_TRUE(h.op.lastText().contains("bytes were dropped"));
    h.sim.faults() = {};
    EXPECT_EQ(h.link->ReadLoggerSerial(), kSerial); // the rest of the flood is dropped first
    qint64 total = 0;
    for (const auto& [n, why] : drops)
        total += n;
    EXPECT_EQ(total, h.link->droppedBytes());
    EXPECT_GT(total, kRxBufferLimit);
}

// ---- the lease ----

TEST(LinkLeaseTest, AHolderOwnsThePortAndTheLinkComesBackAt19200) {
    Harness h(true);
    ASSERT_TRUE(h.ok);
    h.sim.state().serial = kSerial;
    ASSERT_TRUE(h.link->OpenLink());
    LinkLease lease = h.link->TakeLease(QStringLiteral("the highway test"));
    ASSERT_TRUE(lease);
    EXPECT_TRUE(h.link->isLeased());
    EXPECT_FALSE(h.link->transport().serial().isOpen());
    EXPECT_FALSE(h.link->transport().poll().isActive());
    QString why;
    EXPECT_FALSE(h.link->TakeLease(QStringLiteral("the file transfer"), &why));
    EXPECT_EQ(why, QStringLiteral("The link is in use by the highway test."));
    EXPECT_FALSE(h.link->OpenLink());
    EXPECT_FALSE(h.link->ReadLoggerSerial());
    EXPECT_EQ(h.op.messages(), (QStringList{why, why}));

    QSerialPort own(h.sim.ptyDevice()); // the holder's own port, at its own speed
    own.setBaudRate(9600);
    ASSERT_TRUE(own.open(QIODevice::ReadWrite));
    own.close();
    LinkLease moved = std::move(lease);
    EXPECT_FALSE(lease);
    moved.release();
    moved.release(); // twice is harmless
    EXPECT_FALSE(h.link->isLeased());
    EXPECT_TRUE(h.link->transport().poll().isActive());
    ASSERT_TRUE(h.link->OpenLink());
    EXPECT_EQ(h.link->transport().serial().baudRate(), 19200);
    EXPECT_EQ(h.link->ReadLoggerSerial(), kSerial);
}

TEST(LinkLeaseTest, RefusedDuringAWaitAndReleasedWhenTheHolderGoes) {
    Harness h;
    h.sim.faults().silent = true;
    ASSERT_TRUE(h.link->OpenLink());
    bool taken = true;
    QString why;
    QTimer::singleShot(40, [&] { taken = bool(h.link->TakeLease(QStringLiteral("x"), &why)); });
    EXPECT_FALSE(h.link->ReadLoggerSerial());
    EXPECT_FALSE(taken);
    EXPECT_EQ(why, Link::busyText());
    {
        const LinkLease lease = h.link->TakeLease(QStringLiteral("the upload"));
        EXPECT_TRUE(lease);
        EXPECT_EQ(h.link->transport().tcp().state(), QAbstractSocket::UnconnectedState);
    }
    EXPECT_FALSE(h.link->isLeased());
    h.sim.faults() = {};
    ASSERT_TRUE(h.link->OpenLink());
    EXPECT_EQ(h.link->ReadLoggerSerial(), h.sim.state().serial);
}
