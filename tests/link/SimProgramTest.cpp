// The nodalyx-loggersim program: where it listens, its state file and its command line.
#include "LinkHarness.h"
#include "TempDir.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <gtest/gtest.h>

using namespace nodalyx;
using namespace nodalyx::test;

namespace {
// Starts the program and collects the lines it prints before it is ready ("serial ...").
struct SimProcess {
    QProcess process;
    QStringList lines;

    bool start(const QStringList& args) {
        process.start(QStringLiteral(NODALYX_SIM_PATH), args);
        while (process.waitForReadyRead(5000)) {
            lines +=
                QString::fromUtf8(process.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
            if (!lines.isEmpty() && lines.last().startsWith("serial "))
                return true;
        }
        return false;
    }
    quint16 tcpPort() const {
        for (const QString& l : lines)
            if (l.startsWith("tcp "))
                return quint16(l.section(':', -1).toUInt());
        return 0;
    }
    int stop() {
        process.terminate();
        process.waitForFinished(5000);
        return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    }
};

SharedState tcpLocation(quint16 port) {
    SharedState state;
    state.settings.ConnType = 2;
    state.settings.IPnumber = QStringLiteral("127.0.0.1");
    state.settings.Portnumber = QString::number(port);
    return state;
}
} // namespace

TEST(SimProgramTest, ServesTcpAndPtyAndKeepsItsStateFile) {
    TempDir dir;
    const QString link = dir.file("ttyLOGGER");
    const QString stateFile = dir.file("logger.json");
    SimProcess sim;
    ASSERT_TRUE(sim.start({"--tcp", "127.0.0.1:0", "--pty", link, "--serial", "XYZ",
                           "--fixed-counts", "--state", stateFile}))
        << sim.lines.join('\n').toStdString();
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    ASSERT_NE(sim.tcpPort(), 0);

    SharedState state = tcpLocation(sim.tcpPort());
    ScriptedOperator op;
    {
        Link tcp(state, op);
        tcp.setTimeouts(shortTimeouts());
        ASSERT_TRUE(tcp.OpenLink());
        EXPECT_EQ(tcp.ReadLoggerSerial(), QStringLiteral("XYZ"));
        ASSERT_TRUE(tcp.SendCommand(61, 0, 0, 0, 0, 0, 30));
        EXPECT_TRUE(tcp.WaitAck());
        tcp.CloseLink();
    }
    qputenv("NODALYX_COM5", link.toLocal8Bit());
    state.settings.ConnType = 1;
    state.settings.Comport = 5;
    {
        Link serial(state, op);
        serial.setTimeouts(shortTimeouts());
        ASSERT_TRUE(serial.OpenLink()) << op.lastText().toStdString();
        EXPECT_EQ(serial.ReadLoggerSerial(), QStringLiteral("XYZ"));
    }
    qunsetenv("NODALYX_COM5");

    EXPECT_EQ(sim.stop(), 0);
    EXPECT_FALSE(QFileInfo::exists(link));
    QFile file(stateFile);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QJsonObject saved = QJsonDocument::fromJson(file.readAll()).object();
    EXPECT_EQ(saved["serial"].toString(), "XYZ");
    EXPECT_EQ(saved["interval"].toInt(), 30);
    EXPECT_FALSE(saved["growingCounts"].toBool());

    SimProcess again; // the state file gives the serial number without --serial
    ASSERT_TRUE(again.start({"--tcp", "0", "--state", stateFile}));
    EXPECT_TRUE(again.lines.contains("serial XYZ"));
    EXPECT_EQ(again.stop(), 0);
}

TEST(SimProgramTest, HelpAndUsageErrors) {
    QProcess p;
    p.start(QStringLiteral(NODALYX_SIM_PATH), {"--help"});
    ASSERT_TRUE(p.waitForFinished(5000));
    EXPECT_EQ(p.exitCode(), 0);
    const QString help = QString::fromUtf8(p.readAllStandardOutput());
    for (const char* option :
         {"--tcp", "--pty", "--state", "--serial", "--fixed-counts", "--delay", "--silent", "--nak",
          "--corrupt", "--extra-byte", "--drop-byte", "--close-on", "--chunk", "--baud"})
        EXPECT_TRUE(help.contains(option)) << option;
    p.start(QStringLiteral(NODALYX_SIM_PATH), {"--tcp", "0", "--bogus"});
    ASSERT_TRUE(p.waitForFinished(5000));
    EXPECT_EQ(p.exitCode(), 2);
}
