#pragma once

#include "../link/LinkHarness.h"
#include "FileTransferLink.h"
#include "SimFaults.h"
#include "TransferContext.h"

#include <QDir>
#include <QPointer>
#include <QStringList>
#include <QTcpServer>
#include <QTcpSocket>
#include <gtest/gtest.h>
#include <memory>

namespace nodalyx::test {

// The transfer's times shortened twenty-fold: a reply time of 2 s becomes 100 ms.
inline constexpr double kTransferScale = 0.05;

// The link harness with the transfer component, a program folder and the logger's files.
struct TransferHarness : Harness {
    explicit TransferHarness(bool serial = false)
        : Harness(serial), location(QStringLiteral("Site")) {
        sim.state().filesFolder = logger.path();
        if (serial)
            state.settings.Comport = 7;
        state.programDir = dir.path();
        state.settings.eSerialnumber = sim.state().serial;
        QDir().mkpath(dir.file(location));
        transfer = std::make_unique<FileTransferLink>(link.get());
        transfer->setTimeScale(kTransferScale);
    }
    ~TransferHarness() { transfer.reset(); }

    TransferContext ctx() {
        return {state, *link, *transfer, op, location, [](const TransferProgress&) {}};
    }
    QString localPath(const QString& file) const { return location + QLatin1Char('/') + file; }
    QByteArray local(const QString& file) const { return dir.read(localPath(file)); }
    void writeLocal(const QString& file, const QByteArray& bytes) const {
        dir.write(localPath(file), bytes);
    }
    void fault(const char* text) {
        const std::optional<sim::PacketFault> f = sim::parsePacketFault(QString::fromLatin1(text));
        if (f)
            sim.faults().packetFaults.append(*f);
    }
    // An old file and an old backup that a failed download must leave as they are.
    void keepOld() const {
        writeLocal("HW01.ini", "old\r\n");
        writeLocal("HW01.bak", "older\r\n");
    }
    void expectOldKept() const {
        EXPECT_EQ(local("HW01.ini"), "old\r\n");
        EXPECT_EQ(local("HW01.bak"), "older\r\n");
    }
    // The link has its device back: a request of its own goes through.
    bool linkWorks() {
        const bool works =
            !link->isLeased() && link->OpenLink() && link->ReadLoggerSerial() == sim.state().serial;
        link->CloseLink();
        return works;
    }

    QString location;
    TempDir dir;    // the program directory
    TempDir logger; // the logger's files folder
    std::unique_ptr<FileTransferLink> transfer;
};

// A logger that answers each packet with the bytes the test gives.
struct RawLogger {
    RawLogger() {
        server.listen(QHostAddress::LocalHost);
        QObject::connect(&server, &QTcpServer::newConnection, [this] {
            client = server.nextPendingConnection();
            QObject::connect(client, &QTcpSocket::readyRead, client, [this] { take(); });
        });
    }
    void take() {
        buffer += client->readAll();
        for (PacketScan s = scanPacket(buffer); s.kind == PacketScan::Kind::Packet;
             s = scanPacket(buffer)) {
            buffer.remove(0, s.size);
            ++requests;
            if (answer)
                client->write(answer(s.packet));
        }
    }
    QTcpServer server;
    QPointer<QTcpSocket> client;
    QByteArray buffer;
    int requests = 0;
    std::function<QByteArray(const TransferPacket&)> answer;
};

} // namespace nodalyx::test
