// The configuration window offscreen, by object names: from the main window's menu, Save,
// Close, the read-out against the simulated logger, and Set Date/Time with a fixed clock.
#include "AppFixture.h"
#include "FrmConfiguration.h"
#include "Link.h"
#include "LoggerSim.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

using namespace nodalyx;
using namespace nodalyx::test;

namespace {

struct ConfigurationWindow : AppFixture {
    sim::LoggerSim sim;

    void SetUp() override {
        sim.setGrowing(false);
        ASSERT_TRUE(sim.listenTcp());
        writeLocation("Site", [this](SharedState& s) {
            s.settings.Portnumber = QString::number(sim.tcpPort());
            s.settings.LocationName = "Site";
            s.settings.Days.fill("07002200");
            s.settings.Interval = "15";
            s.settings.eIPaddress = QStringList{"192", "168", "1", "10"};
        });
    }
    // Opens "General settings" from the main window; `drive` works the window.
    void viaMenu(const std::function<void(FrmConfiguration&)>& drive) {
        auto main = startWindow();
        main->selectLocation("Site");
        main->setDialogRunner([&](QDialog& dialog) {
            dialog.show();
            drive(static_cast<FrmConfiguration&>(dialog));
        });
        main->findChild<QAction*>("mnuGeneralSettings")->trigger();
    }
    QLineEdit* box(const QWidget& w, const char* name) { return child<QLineEdit>(w, name); }
    // The control Tab goes to from w.
    static QWidget* nextTab(QWidget* w) {
        do
            w = w->nextInFocusChain();
        while (!(w->focusPolicy() & Qt::TabFocus));
        return w;
    }
};

} // namespace

TEST_F(ConfigurationWindow, ShowsTheLocationWithItsLimitsFiltersAndOrder) {
    viaMenu([&](FrmConfiguration& w) {
        EXPECT_EQ(w.windowTitle(), "Configuration");
        EXPECT_EQ(child<QComboBox>(w, "CboConnType")->currentText(), "LAN");
        EXPECT_EQ(child<QComboBox>(w, "CboCommport")->count(), 16);
        EXPECT_EQ(box(w, "txtIPaddress7")->text(), "127");
        EXPECT_LT(box(w, "txtIPaddress7")->x(), box(w, "txtIPaddress4")->x());
        EXPECT_EQ(nextTab(box(w, "txtIPaddress4")), box(w, "txtPortNumber1"));
        EXPECT_EQ(nextTab(box(w, "txtPortNumber1")), box(w, "txtCode")); // then the remote ones
        EXPECT_EQ(nextTab(box(w, "txtDate")), child<QWidget>(w, "ChkGeneral"));
        EXPECT_EQ(nextTab(box(w, "txtStop0")), box(w, "txtStart1"));
        EXPECT_EQ(nextTab(box(w, "txtExt4")), box(w, "txtDate"));
        EXPECT_LT(box(w, "txtStart0")->y(), box(w, "txtStart6")->y());
        EXPECT_EQ(child<QLabel>(w, "lblDay6")->text(), "Saterday:");
        const std::pair<const char*, int> limits[] = {
            {"txtPortNumber1", 5}, {"txtIPaddress0", 3}, {"txtDHCP3", 3}, {"txtMacAddress5", 2},
            {"txtHostName", 20},   {"txtCode", 10},      {"txtExt4", 6},  {"txtStop6", 5}};
        for (const auto& [name, length] : limits)
            EXPECT_EQ(box(w, name)->maxLength(), length) << name;
        for (const char* name :
             {"txtDHCP0", "txtMacAddress0", "txtHostName", "txtSerialNumber", "txtDate"})
            EXPECT_TRUE(box(w, name)->isReadOnly()) << name;
        for (const char* name : {"ChkHW01", "ChkHW02"}) {
            EXPECT_TRUE(child<QCheckBox>(w, name)->isEnabled());
            EXPECT_FALSE(child<QCheckBox>(w, name)->isChecked());
        }
        box(w, "txtPortNumber")->clear();
        type(w, "txtPortNumber", "3a1:");
        box(w, "txtStart1")->clear();
        type(w, "txtStart1", "7:0x");
        type(w, "txtName", "!x");
        EXPECT_EQ(box(w, "txtPortNumber")->text(), "31");
        EXPECT_EQ(box(w, "txtStart1")->text(), "7:0");
        EXPECT_EQ(box(w, "txtName")->text(), "Site!x");
        click(w, "CmdClose");
    });
}

TEST_F(ConfigurationWindow, SaveWritesTheLocationAndCloseChangesNothing) {
    const QByteArray original = dir.read("Site.fgr");
    viaMenu([&](FrmConfiguration& w) {
        box(w, "txtName")->setText("Changed");
        w.close(); // the frame's close box
        EXPECT_FALSE(w.Gewijzigd());
    });
    viaMenu([&](FrmConfiguration& w) {
        type(w, "txtName", "X");
        click(w, "CmdClose");
        EXPECT_FALSE(w.Gewijzigd());
    });
    EXPECT_EQ(dir.read("Site.fgr"), original);
    EXPECT_EQ(state.settings.LocationName, "Site"); // reloaded from the file
    viaMenu([&](FrmConfiguration& w) {
        box(w, "txtStart1")->setText("7:00");
        type(w, "txtName", "2");
        click(w, "CmdSave"); // refused: the window stays
        EXPECT_TRUE(w.isVisible());
        EXPECT_FALSE(w.Gewijzigd());
        EXPECT_EQ(op.lastText(), "Start time of Monday must be HH:MM, for example 07:00.");
        box(w, "txtStart1")->setText("07:15");
        click(w, "CmdSave");
        EXPECT_TRUE(w.Gewijzigd());
        EXPECT_FALSE(w.isVisible());
    });
    EXPECT_EQ(dir.read("Site.bak"), original);
    const QString file = QString::fromLatin1(dir.read("Site.fgr"));
    EXPECT_TRUE(file.contains("\r\nLocationName=Site2\r\n"));
    EXPECT_TRUE(file.contains("\r\nMonday=07152200\r\n"));
    EXPECT_EQ(state.settings.LocationName, "Site2");
}

TEST_F(ConfigurationWindow, ReadOutFillsMarksAndKeepsTheWindowOpenUntilItEnds) {
    sim.state().locationName = "Site 2";
    sim.state().clockOffsetSecs = -3 * 60 - 30;
    sim.faults().delayMs = 20;
    Link link(state, op);
    ScriptedOperator quiet;
    ReadFGR(state, "Site.fgr", quiet);
    FrmConfiguration w(state, link, op);
    w.show();
    child<QCheckBox>(w, "ChkGeneral")->setChecked(true);
    bool saveEnabled = true;
    bool stillVisible = false;
    QTimer::singleShot(100, &w, [&] {
        saveEnabled = child<QPushButton>(w, "CmdSave")->isEnabled();
        w.close();
        w.reject();
        stillVisible = w.isVisible();
    });
    click(w, "CmdLogger");
    EXPECT_FALSE(saveEnabled);
    EXPECT_TRUE(stillVisible);
    EXPECT_TRUE(child<QPushButton>(w, "CmdSave")->isEnabled());
    EXPECT_EQ(op.messages().first(), "Old configurations files will be copied to .BAK");
    EXPECT_EQ(box(w, "txtName")->text(), "Site 2    ");
    EXPECT_EQ(box(w, "txtSerialNumber")->text(), "12345678");
    EXPECT_EQ(child<QProgressBar>(w, "PgbGeneralsettings")->value(), 25);
    EXPECT_TRUE(box(w, "txtName")->toolTip().contains("\"Site\""));
    EXPECT_FALSE(box(w, "txtName")->styleSheet().isEmpty());
    EXPECT_TRUE(box(w, "txtIPaddress0")->styleSheet().isEmpty()); // same as the location
    EXPECT_TRUE(child<QLabel>(w, "lblClockDrift")->text().contains("min behind the PC"));
    EXPECT_EQ(op.busyDepth(), 0);
    click(w, "CmdClose");
    EXPECT_FALSE(w.Gewijzigd());
}

TEST_F(ConfigurationWindow, SetDateTimeShowsTheReadBackOrWhyNot) {
    Link link(state, op);
    ScriptedOperator quiet;
    ReadFGR(state, "Site.fgr", quiet);
    FrmConfiguration w(state, link, op);
    const QDateTime fixed(QDate(2026, 12, 5), QTime(10, 30));
    w.setClock([fixed] { return fixed; });
    w.show();
    click(w, "CmdDate");
    EXPECT_EQ(sim.requests().first(), fromHex("FF FF 01 0A 1E 1A 0C 05 07 00 73"));
    EXPECT_EQ(box(w, "txtDate")->text(), "05-12-2026  10:30");
    EXPECT_EQ(child<QLabel>(w, "lblClockDrift")->text(), "logger clock agrees with the PC");
    state.settings.Portnumber = "1"; // nobody listens there
    click(w, "CmdDate");
    EXPECT_EQ(box(w, "txtDate")->text(), "");
    EXPECT_EQ(op.lastText(), "No connection with datalogger!");
}

// "Start Download" with "Highway 1" ticked fetches the logger's file into the location, its
// bar showing the progress; the old file is kept as .bak.
TEST_F(ConfigurationWindow, StartDownloadFetchesTheTickedHighwayFile) {
    TempDir loggerFiles;
    QByteArray loggerFile = "[Datalogger Configuration HW01]\r\n\r\n";
    for (int unit = 0; unit < 64; ++unit)
        loggerFile += "[Unit " + QByteArray::number(unit) + "]\r\nName1=Gate\r\n";
    loggerFiles.write("HW01.ini", loggerFile);
    sim.state().filesFolder = loggerFiles.path();
    const QByteArray before = dir.read("Site/HW01.ini");
    viaMenu([&](FrmConfiguration& w) {
        child<QCheckBox>(w, "ChkGeneral")->setChecked(false);
        child<QCheckBox>(w, "ChkHW01")->setChecked(true);
        w.startDownload();
        EXPECT_TRUE(child<QProgressBar>(w, "PgbHW01")->isVisible());
        EXPECT_FALSE(child<QProgressBar>(w, "PgbHW02")->isVisible());
        EXPECT_TRUE(child<QPushButton>(w, "CmdSave")->isEnabled()); // the exchange has ended
        w.reject();
    });
    EXPECT_EQ(dir.read("Site/HW01.bak"), before);
    const QByteArray after = dir.read("Site/HW01.ini");
    EXPECT_NE(after, before);
    EXPECT_TRUE(after.contains("Name1=Gate")) << after.left(200).toStdString();
    EXPECT_EQ(op.messages().first(), "Old configurations files will be copied to .BAK");
}
