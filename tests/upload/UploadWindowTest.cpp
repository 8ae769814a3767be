#include "FrmUpload.h"
#include "LinkHarness.h"

#include <QCheckBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <gtest/gtest.h>

namespace nodalyx::test {
namespace {

TEST(UploadWindow, RunsTheGeneralSettingsAndShowsTheReport) {
    Harness h;
    ASSERT_TRUE(h.ok);
    h.state.DayNames = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                        "Thursday", "Friday", "Saterday"};
    h.state.settings.LocationCode = "123";
    h.state.settings.Days.fill("07002200");
    h.state.settings.Interval = "15";
    h.state.settings.eIPaddress = h.state.settings.eSubnetmask =
        h.state.settings.eGateway = {"10", "0", "0", "1"};
    FrmUpload window(h.state, *h.link, h.op);
    EXPECT_EQ(window.windowTitle(), "Upload configuratie");
    auto* general = window.findChild<QCheckBox*>("ChkGeneralSettings");
    ASSERT_NE(general, nullptr);
    EXPECT_FALSE(general->isChecked());
    EXPECT_TRUE(window.findChild<QProgressBar*>("PgbHW01")->isHidden());
    general->setChecked(true);
    window.findChild<QPushButton*>("CmdUpload")->click();
    const QString report = window.report();
    EXPECT_EQ(window.findChild<QPlainTextEdit*>("txtResult")->blockCount(), 14);
    EXPECT_TRUE(report.startsWith("Upload locationcode OK\r\nUpload extensions OK\r\n"));
    EXPECT_TRUE(report.endsWith("Upload Port number OK\r\n"));
    EXPECT_EQ(h.op.lastText(), "Send configuration to datalogger succesfuly!");
    EXPECT_TRUE(window.findChild<QPushButton*>("CmdUpload")->isEnabled());
    EXPECT_FALSE(window.isRunning());
}

} // namespace
} // namespace nodalyx::test
