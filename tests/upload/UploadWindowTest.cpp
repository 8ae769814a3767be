// The upload window offscreen, by its object names, against the simulated logger in this
// process: the general settings, both highway files and the read-back in one run.
#include "../transfer/TransferHarness.h"
#include "FrmUpload.h"

#include <QCheckBox>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace nodalyx::test {
namespace {

struct UploadWindowTest : ::testing::Test {
    TransferHarness h;
    void SetUp() override {
        ASSERT_TRUE(h.ok);
        GeneralSettings& s = h.state.settings;
        s.LocationCode = "123";
        s.Days.fill("07002200");
        s.Interval = "15";
        s.eIPaddress = s.eSubnetmask = s.eGateway = {"10", "0", "0", "1"};
        h.state.locationName = h.location;
        h.writeLocal("HW01.ini", QByteArray(500, 'a') + "\r\n");
        h.writeLocal("HW02.ini", "two\r\n");
    }
    template <class W> W* child(FrmUpload& window, const char* name) {
        W* w = window.findChild<W*>(QLatin1String(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
};

TEST_F(UploadWindowTest, EverythingTickedSendsTheLocationAndVerifiesIt) {
    FrmUpload window(h.state, *h.link, h.op);
    for (const char* box : {"ChkGeneralSettings", "ChkHW1", "ChkHW2", "ChkVerify"})
        child<QCheckBox>(window, box)->setChecked(true);
    // While the files travel the window takes no second click and does not close.
    bool locked = true;
    QObject::connect(&h.sim, &sim::LoggerSim::packetRequest, &window, [&] {
        locked = locked && !child<QPushButton>(window, "CmdUpload")->isEnabled() &&
                 !child<QPushButton>(window, "CmdClose")->isEnabled() && !window.close() &&
                 window.isRunning() && child<QPushButton>(window, "CmdCancel")->isEnabled();
        child<QPushButton>(window, "CmdUpload")->click();
    });
    window.show();
    const QString target = child<QLabel>(window, "lblTarget")->text();
    EXPECT_TRUE(target.contains(h.location) && target.contains("127.0.0.1:"))
        << target.toStdString();
    child<QPushButton>(window, "CmdUpload")->click();

    EXPECT_TRUE(locked);
    EXPECT_FALSE(child<QPushButton>(window, "CmdCancel")->isEnabled());
    EXPECT_EQ(h.logger.read("HW01.ini"), QByteArray(500, 'a') + "\n");
    EXPECT_EQ(h.logger.read("HW02.ini"), "two\n");
    EXPECT_TRUE(window.report().endsWith(
        "Upload Port number OK\r\nUpload HW01.ini OK\r\nUpload HW02.ini OK\r\n"
        "Verify OK: the logger holds every setting sent\r\n"));
    EXPECT_EQ(h.op.lastText(), "Send configuration to datalogger succesfuly! (verified)");
    EXPECT_TRUE(child<QPushButton>(window, "CmdUpload")->isEnabled());
    EXPECT_EQ(h.op.busyDepth(), 0);
    EXPECT_TRUE(h.linkWorks());
    EXPECT_TRUE(window.close());
}

// Cancel (the button, or Escape) stops after the packet under way; the next file is not sent
// and the report and the final message say so.
TEST_F(UploadWindowTest, CancelAndEscapeStopTheRunAfterThePacketUnderWay) {
    for (const bool escape : {false, true}) {
        FrmUpload window(h.state, *h.link, h.op);
        child<QCheckBox>(window, "ChkHW1")->setChecked(true);
        child<QCheckBox>(window, "ChkHW2")->setChecked(true);
        h.logger.write("HW01.ini", "kept\n");
        h.logger.write("HW02.ini", "kept two\n");
        int packets = 0;
        QObject::connect(&h.sim, &sim::LoggerSim::packetRequest, &window, [&] {
            if (++packets != 2)
                return;
            if (escape)
                QTest::keyClick(&window, Qt::Key_Escape);
            else
                child<QPushButton>(window, "CmdCancel")->click();
        });
        window.show();
        child<QPushButton>(window, "CmdUpload")->click();
        EXPECT_TRUE(window.report().contains("Upload HW01.ini cancelled\r\n"))
            << window.report().toStdString();
        EXPECT_TRUE(window.report().endsWith("Upload HW02.ini not sent: cancelled\r\n"));
        EXPECT_EQ(h.op.lastText(), "Send configuration failed!\r\n\r\nThe upload was cancelled.");
        EXPECT_EQ(h.logger.read("HW01.ini"), "kept\n");
        EXPECT_EQ(h.logger.read("HW02.ini"), "kept two\n");
        EXPECT_TRUE(window.isVisible()); // Escape during a run does not close the window
        EXPECT_TRUE(h.linkWorks());
    }
}

// A delete asked for while the run waits on a silent logger (a deleteLater from elsewhere)
// cancels the run; the window lives on until the run has ended, and goes then.
TEST_F(UploadWindowTest, ADeleteDuringARunCancelsItAndWaitsForItsEnd) {
    auto* window = new FrmUpload(h.state, *h.link, h.op);
    window->setAttribute(Qt::WA_DeleteOnClose);
    QPointer<FrmUpload> alive(window);
    child<QCheckBox>(*window, "ChkGeneralSettings")->setChecked(true);
    h.sim.faults().silent = true;
    window->show();
    bool closed = true;
    QTimer::singleShot(20, window, [&] {
        closed = window->close();
        window->deleteLater();
    });
    child<QPushButton>(*window, "CmdUpload")->click();
    ASSERT_TRUE(alive);
    EXPECT_FALSE(closed);
    EXPECT_FALSE(window->isRunning());
    EXPECT_TRUE(window->report().contains("Cancelling after the item under way...\r\n"))
        << window->report().toStdString();
    EXPECT_TRUE(h.op.lastText().startsWith("Send configuration failed!"));
    EXPECT_EQ(h.op.busyDepth(), 0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return alive.isNull(); }, 2000)); // and then it goes
}

} // namespace
} // namespace nodalyx::test
