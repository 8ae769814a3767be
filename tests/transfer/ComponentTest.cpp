// FileTransferLink on its own: its statuses, its waits, the lease and re-entrant calls.
#include "LoggerSession.h"
#include "TransferHarness.h"
#include "TransferSettings.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QTimer>
#include <gtest/gtest.h>

using namespace nodalyx;
using namespace nodalyx::test;

namespace {

struct Reply {
    qint16 status = -1;
    quint8 code = 99;
    qint32 number = -1;
    QByteArray data = "before", count = "before";
};

struct ComponentTest : ::testing::Test {
    RawLogger logger;
    SharedState state;
    ScriptedOperator op;
    Link link{state.settings};
    FileTransferLink t{&link};

    void SetUp() override { t.setTimeScale(kTransferScale); }
    qint16 open() {
        t.Configure(2, 2, 1);
        return t.OpenTcp("127.0.0.1", QString::number(logger.server.serverPort()), 15.0, 0, 5.0);
    }
    Reply ask(quint32 number = 4) {
        Reply r;
        const qint16 sent = t.SendPacket(13, qint32(number), "block", {});
        EXPECT_EQ(sent, transfer::Ok);
        r.status = t.ReceiveReply(r.code, r.number, r.data, r.count);
        return r;
    }
};

QByteArray ack(quint32 number) {
    return encodePacket({13, number, "ACK", "x"});
}

} // namespace

TEST_F(ComponentTest, TheReplyToTheNumberAskedForAndNothingElse) {
    ASSERT_EQ(open(), transfer::Ok);
    EXPECT_TRUE(link.isLeased());
    EXPECT_FALSE(link.OpenLink()); // the link's own requests wait for the device
    QByteArray badCrc = ack(4);
    badCrc[badCrc.size() - 1] = char(badCrc.back() ^ 1);
    const std::pair<QByteArray, qint16> rows[] = {
        {ack(3) + ack(4), transfer::Ok}, // a late answer to packet 3, then the reply
        {ack(3), transfer::NoReply},
        {badCrc, transfer::BadReply},
        {ack(4).chopped(3), transfer::BadReply},
        {{}, transfer::NoReply},
    };
    for (const auto& [bytes, status] : rows) {
        SCOPED_TRACE(bytes.toHex(' ').toStdString());
        logger.answer = [&bytes](const TransferPacket&) { return bytes; };
        const Reply r = ask();
        EXPECT_EQ(r.status, status);
        // no reply is never taken as data
        EXPECT_EQ(r.number, status == transfer::Ok ? 4 : -1);
        EXPECT_EQ(r.count, status == transfer::Ok ? "x" : "before");
    }
}

TEST_F(ComponentTest, ABegunReplyGetsItsTimeToArriveWhole) {
    ASSERT_EQ(open(), transfer::Ok);
    // Reply time and time to complete 100 ms each: begun at 60 ms, whole at 140 ms.
    logger.answer = [this](const TransferPacket& p) {
        const QByteArray whole = ack(p.number);
        QTimer::singleShot(60, logger.client,
                           [this, whole] { logger.client->write(whole.left(5)); });
        QTimer::singleShot(140, logger.client,
                           [this, whole] { logger.client->write(whole.mid(5)); });
        return QByteArray();
    };
    EXPECT_EQ(ask().status, transfer::Ok);
    t.ReplyDelay(0.5); // 25 ms after scaling: the reply begins too late
    EXPECT_EQ(ask(5).status, transfer::NoReply);
}

// A port past 65535 must not wrap round to the logger's port.
TEST_F(ComponentTest, RefusedArgumentsAndPortsAnswerTheirStatus) {
    const QString wrapped = QString::number(logger.server.serverPort() + 65536);
    for (const QString& port : {wrapped, QStringLiteral("0"), QStringLiteral("abc")}) {
        EXPECT_EQ(t.OpenTcp("127.0.0.1", port, 15, 0, 5), transfer::BadArgument);
        EXPECT_EQ(t.lastFailure(),
                  "The port number \"" + port + "\" is not a number from 1 to 65535.");
    }
    QCoreApplication::processEvents();
    EXPECT_TRUE(logger.client.isNull());
    EXPECT_EQ(t.SendPacket(6, 1, {}, {}), transfer::NotOpen);
    Reply r;
    EXPECT_EQ(t.ReceiveReply(r.code, r.number, r.data, r.count), transfer::NotOpen);
    EXPECT_EQ(t.OpenTcp("127.0.0.1", "3101", 15, 4000, 5), transfer::BadArgument);
    EXPECT_EQ(t.OpenTcp("127.0.0.1", QString::number(closedPort()), 15, 0, 5),
              transfer::OpenFailed);
    EXPECT_EQ(t.OpenSerial(0.2f, "19200,N,8,1", 0), transfer::BadArgument);
    EXPECT_EQ(t.OpenSerial(3, "19200,X,8,1", 0), transfer::BadArgument);
    EXPECT_EQ(t.OpenSerial(3, "19200,N,8,1", 7), transfer::BadArgument);
    qputenv("NODALYX_COM3", "/nonexistent/tty");
    EXPECT_EQ(t.OpenSerial(3, "19200,N,8,1", 0), transfer::OpenFailed);
    qunsetenv("NODALYX_COM3");
    t.Configure(2, 2, 2); // a packet layout we do not know
    EXPECT_EQ(t.OpenTcp("127.0.0.1", QString::number(logger.server.serverPort()), 15, 0, 5),
              transfer::BadArgument);
    EXPECT_FALSE(link.isLeased());
    ASSERT_EQ(open(), transfer::Ok);
    EXPECT_EQ(t.SendPacket(13, 2, QByteArray(4097, 'a'), {}), transfer::BadArgument);
    EXPECT_EQ(parseSerialLine("9600,E,7,2").value().parity, QSerialPort::EvenParity);
}

TEST_F(ComponentTest, CallsDuringAWaitAreRefusedAndCancelEndsIt) {
    ASSERT_EQ(open(), transfer::Ok);
    qint16 nested = -1, nestedReceive = -1;
    QTimer::singleShot(20, &t, [this, &nested, &nestedReceive] {
        nested = t.SendPacket(6, 1, {}, {});
        Reply r;
        nestedReceive = t.ReceiveReply(r.code, r.number, r.data, r.count);
        t.requestCancel();
    });
    t.ReplyDelay(60.0); // one minute unscaled: only the cancel ends this wait
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(ask().status, transfer::Cancelled);
    EXPECT_LT(clock.elapsed(), 2000);
    EXPECT_EQ(nested, transfer::Busy);
    EXPECT_EQ(nestedReceive, transfer::Busy);
    EXPECT_EQ(t.SendPacket(6, 1, {}, {}), transfer::Cancelled);
    EXPECT_TRUE(t.cancelRequested());
    ASSERT_EQ(open(), transfer::Ok); // a fresh open forgets the cancel
    EXPECT_FALSE(t.cancelRequested());

    // Closed under a running wait (a window that goes): the wait ends at once.
    QTimer::singleShot(20, &t, [this] { t.CloseTcp(); });
    t.ReplyDelay(60.0);
    clock.restart();
    EXPECT_NE(ask().status, transfer::Ok);
    EXPECT_LT(clock.elapsed(), 2000);
    EXPECT_FALSE(link.isLeased());
}

TEST_F(ComponentTest, DeletedDuringAWaitGoesOnlyWhenTheWaitHasEnded) {
    QPointer<FileTransferLink> other = new FileTransferLink(&link);
    other->setTimeScale(kTransferScale);
    ASSERT_EQ(other->OpenTcp("127.0.0.1", QString::number(logger.server.serverPort()), 15, 0, 5),
              transfer::Ok);
    QTimer::singleShot(20, other.data(), &QObject::deleteLater);
    ASSERT_EQ(other->SendPacket(6, 1, {}, {}), transfer::Ok);
    Reply r;
    EXPECT_EQ(other->ReceiveReply(r.code, r.number, r.data, r.count), transfer::NoReply);
    EXPECT_FALSE(other.isNull()); // still here for its caller
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(other.isNull());
    EXPECT_FALSE(link.isLeased()); // its lease went with it
}
