// The configuration window offscreen, by object names, against the simulated logger.
#include "AppFixture.h"
#include "FrmConfiguration.h"
#include "HighwayFileCodec.h"
#include "Link.h"
#include "LoggerSession.h"
#include "LoggerSim.h"
#include "SilentPort.h"
#include "TransferContext.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
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
    // The window on the given link, the location read from its file, the read-out ticked.
    std::unique_ptr<FrmConfiguration> standalone(Link& link) {
        ScriptedOperator quiet;
        ReadFGR(state, "Site.fgr", quiet);
        auto w = std::make_unique<FrmConfiguration>(state, link, op);
        w->show();
        child<QCheckBox>(*w, "ChkGeneral")->setChecked(true);
        return w;
    }
    QLineEdit* box(const QWidget& w, const char* name) { return child<QLineEdit>(w, name); }
};

} // namespace

// The boxes' limits are all that keeps Save from storing a text too long for the logger.
TEST_F(ConfigurationWindow, BoxesTakeNoMoreThanTheLoggerHolds) {
    viaMenu([&](FrmConfiguration& w) {
        const std::pair<const char*, int> limits[] = {
            {"txtPortNumber1", 5}, {"txtIPaddress0", 3}, {"txtDHCP3", 3}, {"txtMacAddress5", 2},
            {"txtHostName", 20},   {"txtCode", 10},      {"txtExt4", 6},  {"txtStop6", 5}};
        for (const auto& [name, length] : limits)
            EXPECT_EQ(box(w, name)->maxLength(), length) << name;
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
    EXPECT_EQ(dir.read("Site.fgr"), original);
    EXPECT_EQ(state.settings.LocationName, "Site"); // reloaded from the file
    viaMenu([&](FrmConfiguration& w) {
        type(w, "txtName", "2");
        click(w, "CmdSave"); // a refused Save: the read-out's test below
        EXPECT_TRUE(w.Gewijzigd());
        EXPECT_FALSE(w.isVisible());
    });
    EXPECT_EQ(dir.read("Site.bak"), original);
    EXPECT_TRUE(dir.read("Site.fgr").contains("\r\nLocationName=Site2\r\n"));
    EXPECT_EQ(state.settings.LocationName, "Site2");
}

// A control character from the logger is shown as \xNN, never raw; the box still stands for the
// byte the logger sent, so Save refuses it rather than storing the escape as text.
TEST_F(ConfigurationWindow, ReadOutAndSetDateTimeFillTheBoxesAndKeepTheWindowOpen) {
    sim.state().locationName = QStringLiteral("A\x01\x1b"
                                              "B");
    sim.state().clockOffsetSecs = -3 * 60 - 30;
    sim.faults().delayMs = 20;
    Link link(state.settings);
    tellNotices(link, op);
    const auto window = standalone(link);
    FrmConfiguration& w = *window;
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
    EXPECT_EQ(box(w, "txtName")->text(), "A\\x01\\x1b"
                                         "B"); // the logger's blanks beyond the box's ten
    EXPECT_FALSE(box(w, "txtName")->toolTip().contains(QChar(0x1b)));
    EXPECT_FALSE(box(w, "txtName")->styleSheet().isEmpty());
    EXPECT_TRUE(box(w, "txtIPaddress0")->styleSheet().isEmpty()); // same as the location
    EXPECT_EQ(op.busyDepth(), 0);
    const QDateTime fixed(QDate(2026, 12, 5), QTime(10, 30));
    w.setClock([fixed] { return fixed; });
    click(w, "CmdDate"); // the read-back below is the fixed clock, not today
    EXPECT_EQ(box(w, "txtDate")->text(), "05-12-2026  10:30");
    EXPECT_EQ(child<QLabel>(w, "lblClockDrift")->text(), "logger clock agrees with the PC");
    op.clear();
    click(w, "CmdSave");
    EXPECT_FALSE(w.Gewijzigd()); // refused: nothing stored
    EXPECT_EQ(op.messages().size(), 1);
    EXPECT_TRUE(op.lastText().startsWith("Location Name")) << op.lastText().toStdString();
}

// "Start Download" with "Highway 1" ticked fetches the file; the old one is kept as .bak.
TEST_F(ConfigurationWindow, StartDownloadFetchesTheTickedHighwayFile) {
    TempDir loggerFiles;
    UnitTable units{};
    for (UnitConfig& unit : units)
        unit.Name1 = "Gate";
    loggerFiles.write("HW01.ini", encodeHighwayFile(1, units).replace("\r\n", "\n"));
    sim.state().filesFolder = loggerFiles.path();
    const QByteArray before = dir.read("Site/HW01.ini");
    viaMenu([&](FrmConfiguration& w) {
        child<QCheckBox>(w, "ChkGeneral")->setChecked(false);
        child<QCheckBox>(w, "ChkHW01")->setChecked(true);
        w.startDownload();
        EXPECT_TRUE(child<QPushButton>(w, "CmdSave")->isEnabled()); // the exchange has ended
        EXPECT_EQ(child<QLabel>(w, "lblDownloadResult")->text(),
                  "HW01.ini downloaded: 64 units; the previous file is kept as HW01.bak");
        EXPECT_EQ(op.messages().size(), 1); // only the notice about the backups
        w.reject();
    });
    EXPECT_EQ(dir.read("Site/HW01.bak"), before);
    EXPECT_TRUE(dir.read("Site/HW01.ini").contains("Name1=Gate"));
}

namespace {

// The configuration window on its own link (short time limits) and transfer component (times
// shortened twenty-fold: a TCP connect waits 750 ms), all three download boxes ticked.
struct WindowRun : ConfigurationWindow {
    std::unique_ptr<Link> link;
    std::unique_ptr<SharedTransferLink> transfers;
    std::unique_ptr<FrmConfiguration> w;

    void open() {
        w.reset();
        transfers.reset();
        link = std::make_unique<Link>(state.settings);
        tellNotices(*link, op);
        link->setTimeouts({400, 300, 400, 100});
        transfers = std::make_unique<SharedTransferLink>(*link);
        transfers->get().setTimeScale(0.05);
        w = standalone(*link);
        w->setTransfers(transfers.get());
        for (const char* name : {"ChkHW01", "ChkHW02"})
            child<QCheckBox>(*w, name)->setChecked(true);
    }
    ~WindowRun() override {
        w.reset();
        transfers.reset();
        link.reset();
    }
    // Every control of the window that is enabled now, by object name.
    QStringList enabledControls() const {
        QStringList names;
        for (QWidget* c : w->findChildren<QWidget*>()) {
            const bool control = qobject_cast<QAbstractButton*>(c) || qobject_cast<QLineEdit*>(c) ||
                                 qobject_cast<QComboBox*>(c);
            if (control && c->isEnabled() && !c->objectName().startsWith("qt_"))
                names << c->objectName();
        }
        return names;
    }
    QString result() const { return child<QLabel>(*w, "lblDownloadResult")->text(); }
};

} // namespace

// A silent logger costs the read-out one message and one wait: the highway downloads that need
// the same logger are not started.
TEST_F(WindowRun, AnUnreachableLoggerIsOneMessageAndOneWait) {
    SilentPort silent;
    if (silent.port() == 0)
        GTEST_SKIP() << "no silent port on this system";
    open();
    state.settings.Portnumber = QString::number(silent.port());
    QElapsedTimer clock;
    clock.start();
    w->startDownload();
    EXPECT_LT(clock.elapsed(), 1300); // one wait (400 ms), never two
    EXPECT_EQ(op.messages(),
              QStringList({"Old configurations files will be copied to .BAK",
                           QStringLiteral("Connection with Data logger failed: 127.0.0.1:%1: "
                                          "no answer within 0.4 s")
                               .arg(silent.port())}));
    EXPECT_TRUE(sim.packets().isEmpty());
    EXPECT_TRUE(child<QPushButton>(*w, "CmdLogger")->isEnabled());
    EXPECT_EQ(op.busyDepth(), 0);
}

// While the read-out waits, Cancel is the one enabled control; Cancel (or Escape) stops it
// after the query under way, closes the link and starts no highway download.
TEST_F(WindowRun, CancelOrEscapeStopsTheReadOutAfterTheQueryUnderWay) {
    for (const bool escape : {false, true}) {
        SCOPED_TRACE(escape ? "Escape" : "Cancel");
        sim.faults().delayMs = 40;
        sim.clearLog();
        open();
        QStringList enabledDuring;
        qsizetype requestsAtCancel = 0;
        QTimer::singleShot(300, w.get(), [&] {
            enabledDuring = enabledControls();
            requestsAtCancel = sim.requests().size();
            if (escape)
                QTest::keyClick(w.get(), Qt::Key_Escape);
            else
                click(*w, "CmdCancel");
        });
        w->startDownload();
        EXPECT_EQ(enabledDuring, QStringList{"CmdCancel"});
        EXPECT_TRUE(w->isVisible());
        EXPECT_GT(requestsAtCancel, 0);
        EXPECT_LE(sim.requests().size(), requestsAtCancel + 1); // the one under way, no more
        EXPECT_TRUE(sim.packets().isEmpty());                   // no highway download started
        EXPECT_EQ(link->transport().tcp().state(), QAbstractSocket::UnconnectedState);
        EXPECT_TRUE(result().contains("cancelled")) << result().toStdString();
        EXPECT_TRUE(enabledControls().contains("ChkHW01"));
        op.clear();
        w.reset();
    }
}

// A window deleted (deleteLater) during its read-out outlives the read-out, which it cancels
// after the query under way, and goes once the read-out has returned.
TEST_F(WindowRun, ADeleteDuringTheReadOutCancelsItAndWaitsForItsEnd) {
    sim.faults().delayMs = 40;
    open();
    FrmConfiguration* window = w.get();
    QPointer<FrmConfiguration> alive(window);
    QTimer::singleShot(200, window, [&] {
        w.release();
        window->deleteLater();
    });
    window->startDownload();
    ASSERT_TRUE(alive);
    EXPECT_FALSE(window->isExchanging());
    EXPECT_TRUE(sim.packets().isEmpty());
    EXPECT_TRUE(QTest::qWaitFor([&] { return alive.isNull(); }, 2000));
}

// Cancel during a highway download is the one enabled control and the window names what came
// of it, as it names a failed download.
TEST_F(WindowRun, CancelOrAFailureDuringADownloadIsNamedInTheWindow) {
    TempDir loggerFiles;
    loggerFiles.write("HW01.ini", encodeHighwayFile(1, UnitTable{}).replace("\r\n", "\n"));
    loggerFiles.write("HW02.ini", encodeHighwayFile(2, UnitTable{}).replace("\r\n", "\n"));
    sim.state().filesFolder = loggerFiles.path();
    sim.fileResponder().setBlockSize(64);
    const QByteArray before = dir.read("Site/HW01.ini");
    open();
    child<QCheckBox>(*w, "ChkGeneral")->setChecked(false);
    QStringList enabledDuring;
    QMetaObject::Connection c = QObject::connect(&sim, &sim::LoggerSim::packetRequest, [&] {
        if (sim.packets().size() == 3) {
            enabledDuring = enabledControls();
            click(*w, "CmdCancel");
        }
    });
    w->startDownload();
    QObject::disconnect(c);
    EXPECT_EQ(enabledDuring, QStringList{"CmdCancel"});
    EXPECT_LE(sim.packets().size(), 4); // HW02.ini never asked for
    EXPECT_EQ(dir.read("Site/HW01.ini"), before);
    EXPECT_EQ(result(), "HW01.ini: cancelled, nothing written");
    EXPECT_TRUE(child<QPushButton>(*w, "CmdLogger")->isEnabled());

    for (const char* f : {"11:0:announce:1:0:0", "6:1:empty:1"})
        sim.faults().packetFaults.append(*sim::parsePacketFault(QString::fromLatin1(f)));
    w->startDownload();
    EXPECT_EQ(result(), "HW01.ini: not downloaded\nHW02.ini: not downloaded");
    EXPECT_EQ(dir.read("Site/HW01.ini"), before);
}
