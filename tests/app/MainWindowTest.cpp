#include "AppFixture.h"
#include "FrmNewLocation.h"
#include "FrmUnitConfiguration.h"
#include "MainViews.h"
#include "SerialPorts.h"
#include "StartupOptions.h"
#include "WidgetOperator.h"

#include <QAction>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTimer>

using namespace nodalyx;
using namespace nodalyx::test;

TEST(StartupOptions, ServiceModeSwitchAmongTheFirstFourWordsOnceTheOptionsAreOut) {
    // Blanks at the ends are removed; double blanks inside make empty words that count.
    const std::pair<const char*, bool> lines[] = {{"xs", true},        {"a b c /S", true},
                                                  {"   /s   ", true},  {"S", false},
                                                  {"/SERVICE", false}, {"a   b /s", false}};
    for (const auto& [line, on] : lines)
        EXPECT_EQ(serviceModeFromCommandLine(line), on) << '"' << line << '"';

    const std::tuple<QStringList, QString, bool> arguments[] = {
        {{"a", "--dir", "d", "b", "c", "/s"}, "d", true}, // --dir and its value are no words
        {{"--dir=/data", "--screenshot", "shots", "S"}, "/data", false},
        {{"--dir", "/s"}, "/s", false}, // a directory named "/s" is a value, not the switch
        {{"-a", "-b", "-c", "-d", "-S"}, "", false}, // single-dash words count: the fifth
        {{"--dir", "-s", "-S"}, "-s", true},         // a value may start with a dash
        {{"a", "--", "--dir", "/s"}, "", true}};     // behind "--" everything is a word
    for (const auto& [list, dir, serviceMode] : arguments) {
        SCOPED_TRACE(list.join(' ').toStdString());
        const StartupOptions o = parseStartupOptions(list);
        EXPECT_EQ(o.dir, dir);
        EXPECT_EQ(o.serviceMode, serviceMode);
        EXPECT_TRUE(o.error.isEmpty()) << o.error.toStdString();
        EXPECT_FALSE(o.help || o.version);
    }
    EXPECT_EQ(parseStartupOptions({"--screenshot", "shots"}).screenshotDir, "shots");
}

TEST(StartupOptions, HelpVersionAndMistakes) {
    EXPECT_TRUE(parseStartupOptions({"/s", "-h", "--dir", "d"}).help);
    EXPECT_TRUE(parseStartupOptions({"-v"}).version);

    const std::pair<QStringList, const char*> mistakes[] = {
        {{"/s", "--dir"}, "--dir needs a directory"},
        {{"--service"}, "unknown option '--service'"},
        {{"/s", "--dir", "d", "--verbose=2"}, "unknown option '--verbose'"}};
    for (const auto& [list, error] : mistakes)
        EXPECT_EQ(parseStartupOptions(list).error, QString(error)) << list.join(' ').toStdString();
}

// nodalyx-config answers --help, --version and mistakes without a display.
namespace {

struct ProgramRun {
    int exit = -1;
    QString out, err;
};

ProgramRun runWithoutDisplay(const QStringList& args) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("QT_QPA_PLATFORM");
    env.remove("WAYLAND_DISPLAY");
    env.insert("DISPLAY", ""); // a window would fail here: no display to open
    QProcess process;
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(NODALYX_CONFIG_PATH), args);
    if (!process.waitForFinished(20000))
        process.kill();
    process.waitForFinished();
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromLocal8Bit(process.readAllStandardOutput()),
            QString::fromLocal8Bit(process.readAllStandardError())};
}

} // namespace

TEST(CliConfigProgram, HelpVersionAndMistakesNeedNoDisplay) {
    const ProgramRun help = runWithoutDisplay({"/s", "--help"});
    EXPECT_EQ(help.exit, 0) << help.err.toStdString();
    EXPECT_TRUE(help.out.startsWith("Usage: nodalyx-config [options] [/S]\n"));
    for (const char* option :
         {"--dir <DIR>", "--screenshot <DIR>", "\"PCB test\"", ".local/share/nodalyx"})
        EXPECT_TRUE(help.out.contains(option)) << option;

    const ProgramRun version = runWithoutDisplay({"--version"});
    EXPECT_EQ(version.exit, 0) << version.err.toStdString();
    EXPECT_EQ(version.out, QStringLiteral("nodalyx-config " NODALYX_VERSION_STRING "\n"));

    const ProgramRun wrong = runWithoutDisplay({"--dir", "/tmp", "--sevice"});
    EXPECT_EQ(wrong.exit, 2);
    EXPECT_EQ(wrong.out, QString());
    EXPECT_EQ(wrong.err, "nodalyx-config: unknown option '--sevice'\n"
                         "Try 'nodalyx-config --help'.\n");
}

TEST(MainViews, ConnectionTextPerConnectionType) {
    GeneralSettings s;
    s.Comport = 3;
    s.IPnumber = "10.0.0.7";
    s.Portnumber = "3101";
    s.PhoneNumber = "0612345678";
    s.Comport = 1234567; // a whole number stays whole, never "1.23457e+06"
    const std::pair<qint16, const char*> rows[] = {{1, "Direct connect, comport: 1234567"},
                                                   {2, "Lan: 10.0.0.7:3101"},
                                                   {3, "Modem analoge. Phonenumber: 0612345678"},
                                                   {4, "Modem GSM. Phonenumber: 0612345678"}};
    for (const auto& [type, text] : rows) {
        s.ConnType = type;
        EXPECT_EQ(connectionText(s), QString(text));
    }
    for (const qint16 other : {0, 5, -1}) {
        s.ConnType = other;
        EXPECT_FALSE(connectionText(s)) << other; // the box keeps its text
    }
}

TEST(WidgetOperator, HourglassNestsAndIsRestored) {
    WidgetOperator op;
    {
        BusyGuard outer(op);
        BusyGuard inner(op);
        inner.release();
        ASSERT_NE(QApplication::overrideCursor(), nullptr);
        EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    }
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

using MainWindow = AppFixture;

TEST_F(MainWindow, EmptyDirectoryGetsTheDefaultLocationAndCloseAsksNothing) {
    auto w = startWindow();
    EXPECT_EQ(child<QLabel>(*w, "lblProgramDir")->text(),
              "Locations: " + QDir::toNativeSeparators(dir.path()));
    auto* list = child<QComboBox>(*w, "CboLocation");
    EXPECT_EQ(list->itemText(0), "Configuration 01");
    EXPECT_EQ(list->currentIndex(), -1);
    EXPECT_FALSE(child<QMenu>(*w, "mnuConfiguration")->isEnabled());
    EXPECT_FALSE(child<QPushButton>(*w, "CmdRefresh")->isEnabled());

    // The empty location: both highway files missing are reported, then 64 default rows.
    w->selectLocation("Configuration 01");
    EXPECT_TRUE(child<QMenu>(*w, "mnuConfiguration")->isEnabled());
    EXPECT_TRUE(child<QPushButton>(*w, "CmdRefresh")->isEnabled());
    EXPECT_EQ(child<QLineEdit>(*w, "txtConnType")->text(), "");
    EXPECT_EQ(op.shown().size(), 2);
    for (const char* name : {"LsvHW1", "LSVHW2"})
        EXPECT_EQ(rowTexts(child<QTreeWidget>(*w, name), 63).mid(0, 2), QStringList({"63", "No"}));
    EXPECT_FALSE(child<QTabWidget>(*w, "SSTab1")->isTabVisible(2)); // not in service mode

    click(*w, "CmdClose");
    EXPECT_FALSE(w->isVisible());
    EXPECT_EQ(op.shown().size(), 2); // no question
}

TEST_F(MainWindow, SelectingALocationFillsBothListsAndInServiceModeTheTestList) {
    writeSite();
    state.ServiceMode = true;
    auto w = startWindow();
    auto* tabs = child<QTabWidget>(*w, "SSTab1");
    EXPECT_TRUE(tabs->isTabVisible(2));
    EXPECT_FALSE(tabs->isTabEnabled(2));
    auto* list = child<QComboBox>(*w, "CboLocation");
    list->setCurrentIndex(list->findText("Site"));
    emit list->activated(list->currentIndex()); // as the operator's choice does
    EXPECT_EQ(child<QLineEdit>(*w, "txtConnType")->text(), "Lan: 127.0.0.1:10001");
    auto* hw1 = child<QTreeWidget>(*w, "LsvHW1");
    auto* hw2 = child<QTreeWidget>(*w, "LSVHW2");
    EXPECT_EQ(rowTexts(hw2, 2).mid(0, 12), QStringList({"02", "Yes", "K1\\K3", "0123-4567-89AB", "",
                                                        "", "7", "6", "", "", "", ""}));
    // Only the text "0" is hidden; a unit code is grouped only when it has 12 characters.
    EXPECT_EQ(rowTexts(hw1, 63).mid(0, 5), QStringList({"63", "No", "Last", "", "00"}));
    EXPECT_TRUE(op.shown().isEmpty());
    EXPECT_EQ(op.busyDepth(), 0);
    EXPECT_GE(op.maxBusyDepth(), 1);
    EXPECT_TRUE(tabs->isTabEnabled(2));
    auto* test = child<QTreeWidget>(*w, "LsvHW"); // the tab's own test fills it from the table
    EXPECT_EQ(rowTexts(test, 63)[2], "Last");
    click(*w, "OptHW1");
    EXPECT_EQ(rowTexts(test, 2)[2], "K1\\K3");

    // A second selection reloads from the files: unsaved table edits are gone.
    state.HW2Unit[3].Name1 = "changed";
    w->selectLocation("Site");
    EXPECT_EQ(rowTexts(hw2, 2)[2], "K1\\K3");
}

// What the editor stores is the editor's test; here the row and the table follow its Save.
TEST_F(MainWindow, DoubleClickOpensTheModalEditorAndSaveRewritesFileAndRow) {
    auto w = startOnSite();
    UnitConfig expected = state.HW2Unit[3];
    expected.Name1 = "North";
    expected.Cor1 = 100; // a correction of 0 is shown as 100
    auto* hw2 = child<QTreeWidget>(*w, "LSVHW2");
    hw2->topLevelItem(2)->setText(8, "55"); // a count column keeps its text
    child<QTabWidget>(*w, "SSTab1")->setCurrentIndex(1);
    int opened = 0;
    QTimer::singleShot(0, w.get(), [&] { // runs inside the editor's own modal loop
        auto* editor = qobject_cast<FrmUnitConfiguration*>(QApplication::activeModalWidget());
        ASSERT_NE(editor, nullptr);
        ++opened; // on the row's unit, as the row and the file show below
        child<QLineEdit>(*editor, "txtOnaam0")->setText("North");
        click(*editor, "CmdOpslaan");
    });
    // A real double click: a click, then the second press the system reports as a double click.
    const QPoint at = hw2->visualItemRect(hw2->topLevelItem(2)).center();
    QTest::mouseClick(hw2->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(hw2->viewport(), Qt::LeftButton, {}, at);
    ASSERT_EQ(opened, 1);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_EQ(rowTexts(hw2, 2).mid(0, 12), QStringList({"02", "Yes", "North\\K3", "0123-4567-89AB",
                                                        "", "", "7", "6", "55", "", "", ""}));
    EXPECT_EQ(readBack("Site", 2)[3], expected);
    EXPECT_EQ(state.HW2Unit[3], expected);
}

TEST_F(MainWindow, NewCreatesAndSelectsTheLocationAndBackChangesNothing) {
    auto w = startOnSite();
    auto* list = child<QComboBox>(*w, "CboLocation");
    w->setDialogRunner([](QDialog& dialog) { click(dialog, "CmdBack"); });
    child<QAction>(*w, "mnuLocation")->trigger();
    EXPECT_EQ(list->currentText(), "Site");
    EXPECT_EQ(list->count(), 1);

    w->setDialogRunner([&](QDialog& dialog) {
        ASSERT_NE(qobject_cast<FrmNewLocation*>(&dialog), nullptr);
        type(dialog, "txtName", "Bridge");
        child<QComboBox>(dialog, "CboConnType")->setCurrentIndex(0);
        child<QComboBox>(dialog, "CboCommport")->setCurrentIndex(3);
        click(dialog, "cmdSave");
    });
    click(*w, "CmdNew");
    EXPECT_EQ(list->currentText(), "Bridge");
    EXPECT_EQ(list->count(), 2);
    // with the device behind the number where the system has no COM numbers of its own
    EXPECT_EQ(child<QLineEdit>(*w, "txtConnType")->text(),
              SerialPorts::hasComNumbers() ? "Direct connect, comport: 4"
                                           : "Direct connect, comport: 4 (/dev/ttyS3)");
}

// A file spoilt in the field (a crash of an old installation, a hand edit) is reported (its file
// and line are the store's test); the window still starts and the other locations still work.
TEST_F(MainWindow, AFaultyFileIsReportedAndTheOthersStillWork) {
    writeSite();
    writeLocation("Broken");
    dir.write("Broken/HW02.ini", "[Datalogger Configuration HW02]\r\n[Unit 00]\r\nHWtype=x\r\n");
    auto w = startWindow();
    EXPECT_EQ(child<QComboBox>(*w, "CboLocation")->count(), 2);
    w->selectLocation("Broken");
    EXPECT_TRUE(op.lastText().contains("HW02.ini\" line 3")) << op.lastText().toStdString();
    op.clear();
    w->selectLocation("Site");
    EXPECT_TRUE(op.shown().isEmpty());
    EXPECT_EQ(child<QTreeWidget>(*w, "LSVHW2")->topLevelItemCount(), 64);
}

// Return, Enter and F2 on a highway row do what a double-click does; other keys and a list
// without a current row open nothing.
TEST_F(MainWindow, ReturnEnterAndF2OnAHighwayRowOpenTheEditor) {
    auto w = startOnSite();
    QStringList opened;
    w->setDialogRunner([&](QDialog& dialog) {
        opened << child<QLineEdit>(dialog, "txtHW")->text() + "/" +
                      child<QLineEdit>(dialog, "txtID")->text();
        click(dialog, "CmdSluiten");
    });
    const std::tuple<const char*, int, Qt::Key, Qt::KeyboardModifiers, const char*> rows[] = {
        {"LsvHW1", 0, Qt::Key_Return, Qt::NoModifier, "1/1"},
        {"LSVHW2", 2, Qt::Key_Enter, Qt::KeypadModifier, "2/3"},
        {"LSVHW2", 63, Qt::Key_F2, Qt::NoModifier, "2/64"},
        {"LsvHW1", 5, Qt::Key_Return, Qt::AltModifier, ""},
        {"LsvHW1", -1, Qt::Key_Return, Qt::NoModifier, ""}};
    for (const auto& [name, row, key, modifiers, expected] : rows) {
        SCOPED_TRACE(std::string(name) + " " + std::to_string(row) + " " + std::to_string(key));
        opened.clear();
        auto* list = child<QTreeWidget>(*w, name);
        list->setCurrentItem(row < 0 ? nullptr : list->topLevelItem(row));
        QTest::keyClick(list, key, modifiers);
        EXPECT_EQ(opened, *expected ? QStringList{expected} : QStringList());
    }
    // The key is taken by the list: it goes no further up to the window.
    auto* list = child<QTreeWidget>(*w, "LsvHW1");
    list->setCurrentItem(list->topLevelItem(1));
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, "\r");
    EXPECT_TRUE(QApplication::sendEvent(list, &press));
}

// A location made beside the running window (by the command-line tool) is listed without a
// restart; the loaded location, and what is only in memory, stay as they are.
TEST_F(MainWindow, LocationListFollowsTheProgramDirectory) {
    auto w = startOnSite();
    state.HW2Unit[3].Name1 = "in memory only"; // reloading the location would drop it
    auto* list = child<QComboBox>(*w, "CboLocation");
    QSignalSpy chosen(list, &QComboBox::currentIndexChanged);
    const auto listed = [list] {
        QStringList items;
        for (int i = 0; i < list->count(); ++i)
            items << list->itemText(i);
        return items;
    };

    writeLocation("Arrival");
    EXPECT_TRUE(QTest::qWaitFor([&] { return listed() == QStringList{"Arrival", "Site"}; }));
    EXPECT_EQ(chosen.count(), 0); // the loaded location stays chosen, not reloaded
    EXPECT_TRUE(op.shown().isEmpty());

    // The loaded location's file goes away: it stays loaded and listed; the other one goes.
    ASSERT_TRUE(QFile::remove(dir.path() + "/Site.fgr"));
    ASSERT_TRUE(QFile::remove(dir.path() + "/Arrival.fgr"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return listed() == QStringList{"Site"}; }));
    EXPECT_EQ(list->currentText(), "Site");
    EXPECT_EQ(state.HW2Unit[3].Name1, "in memory only");
    EXPECT_FALSE(QFile::exists(dir.path() + "/Configuration 01.fgr")); // nothing is made
}
