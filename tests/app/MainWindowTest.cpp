#include "AppFixture.h"
#include "FrmMain.h"
#include "FrmNewLocation.h"
#include "FrmUnitConfiguration.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

using namespace nodalyx;
using namespace nodalyx::test;

namespace {

class MainWindow : public AppFixture {
protected:
    // The main window after its start, shown.
    std::unique_ptr<FrmMain> startWindow() {
        auto w = std::make_unique<FrmMain>(state, op);
        w->start();
        w->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(w.get()));
        return w;
    }
    void writeSite() {
        writeLocation("Site", lan("127.0.0.1", "10001"), [](SharedState& s) {
            s.HW1Unit[1].Active = true;
            s.HW1Unit[1].Name1 = "K1";
            s.HW1Unit[1].Name3 = "K3";
            s.HW1Unit[1].HWaddress = "0123456789AB";
            s.HW1Unit[1].Col2 = "0";
            s.HW1Unit[1].Col3 = "7";
            s.HW2Unit[64].Name1 = "Last";
            s.HW2Unit[64].HWaddress = "0123456789A";
        });
    }
    static QStringList rowTexts(QTreeWidget* list, int row) {
        QStringList texts;
        for (int c = 0; c < list->columnCount(); ++c)
            texts << list->topLevelItem(row)->text(c);
        return texts;
    }
    // A real double click: press and release, then the second press that the system reports
    // as a double click.
    static void doubleClickRow(QTreeWidget* list, int row) {
        const QPoint at = list->visualItemRect(list->topLevelItem(row)).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
    }
    static QStringList headers(QTreeWidget* list) {
        QStringList texts;
        for (int c = 0; c < list->columnCount(); ++c)
            texts << list->headerItem()->text(c);
        return texts;
    }
};

} // namespace

TEST_F(MainWindow, ControlsCaptionsAndMenus) {
    auto w = startWindow();
    EXPECT_EQ(w->windowTitle(), "NVQ Nodalyx configuration tool");
    auto* tabs = child<QTabWidget>(*w, "SSTab1");
    EXPECT_EQ(tabs->tabText(0), "  Highway 1  ");
    EXPECT_EQ(tabs->tabText(1), "  Highway 2  ");
    EXPECT_EQ(tabs->tabText(2), "PCB test");
    EXPECT_EQ(headers(child<QTreeWidget>(*w, "LsvHW1")),
              QStringList({"Addr", "Active", "Location", "Addres Code", "Col 1", "Col 2", "Col 3",
                           "Col 4", "In 1", "Out 1", "In 2", "Out 2"}));
    EXPECT_EQ(headers(child<QTreeWidget>(*w, "LSVHW2"))[3], "Address Code");
    const QStringList test = headers(child<QTreeWidget>(*w, "LsvHW"));
    ASSERT_EQ(test.size(), 18);
    EXPECT_EQ(test[3], "Addres Code");
    EXPECT_EQ(test[17], "CC4");
    for (const char* hidden :
         {"mnuDownload", "mnuLocalSettings", "mnuHighway1", "mnuHighway2", "mnuHWfiles"})
        EXPECT_FALSE(child<QAction>(*w, hidden)->isVisible()) << hidden;
    EXPECT_FALSE(child<QAction>(*w, "mnuGeneralSettings")->isEnabled());
    EXPECT_FALSE(child<QAction>(*w, "mnuUpload")->isEnabled());
    EXPECT_EQ(child<QComboBox>(*w, "CboComport")->currentText(), "1");
    EXPECT_EQ(child<QComboBox>(*w, "CboComport")->count(), 16);
    EXPECT_FALSE(child<QPushButton>(*w, "CmdStart")->isEnabled());
    EXPECT_EQ(child<QLabel>(*w, "lblError")->text(), "0");
    EXPECT_EQ(state.DayNames[6], "Saterday");
    const QString version = child<QLabel>(*w, "lblVersion")->text();
    EXPECT_TRUE(QRegularExpression("^Version (0|[1-9][0-9]*)\\.(0|[1-9][0-9]*)\\.(0|[1-9][0-9]*)$")
                    .match(version)
                    .hasMatch())
        << version.toStdString();
}

TEST_F(MainWindow, EmptyDirectoryGetsTheDefaultLocation) {
    auto w = startWindow();
    auto* list = child<QComboBox>(*w, "CboLocation");
    ASSERT_EQ(list->count(), 1);
    EXPECT_EQ(list->itemText(0), "Configuration 01");
    EXPECT_EQ(list->currentIndex(), -1);
    EXPECT_FALSE(child<QMenu>(*w, "mnuConfiguration")->isEnabled());
    EXPECT_FALSE(child<QPushButton>(*w, "CmdRefresh")->isEnabled());
    EXPECT_FALSE(child<QTabWidget>(*w, "SSTab1")->isTabEnabled(2));

    // The empty location: both highway files missing are reported, then 64 default rows.
    w->selectLocation("Configuration 01");
    EXPECT_TRUE(child<QMenu>(*w, "mnuConfiguration")->isEnabled());
    EXPECT_TRUE(child<QPushButton>(*w, "CmdRefresh")->isEnabled());
    EXPECT_EQ(child<QLineEdit>(*w, "txtConnType")->text(), "");
    EXPECT_EQ(op.shown().size(), 2);
    for (const char* name : {"LsvHW1", "LSVHW2"}) {
        auto* hw = child<QTreeWidget>(*w, name);
        ASSERT_EQ(hw->topLevelItemCount(), 64);
        EXPECT_EQ(rowTexts(hw, 0).mid(0, 2), QStringList({"00", "No"}));
        EXPECT_EQ(rowTexts(hw, 63)[0], "63");
    }
    EXPECT_EQ(op.busyDepth(), 0);
}

TEST_F(MainWindow, SelectingALocationFillsBothLists) {
    writeSite();
    auto w = startWindow();
    auto* list = child<QComboBox>(*w, "CboLocation");
    list->setCurrentIndex(list->findText("Site"));
    emit list->activated(list->currentIndex()); // as the operator's choice does
    EXPECT_EQ(child<QLineEdit>(*w, "txtConnType")->text(), "Lan: 127.0.0.1:10001");
    auto* hw1 = child<QTreeWidget>(*w, "LsvHW1");
    auto* hw2 = child<QTreeWidget>(*w, "LSVHW2");
    ASSERT_EQ(hw1->topLevelItemCount(), 64);
    ASSERT_EQ(hw2->topLevelItemCount(), 64);
    EXPECT_EQ(rowTexts(hw1, 0), QStringList({"00", "Yes", "K1\\K3", "0123-4567-89AB", "", "", "7",
                                             "", "", "", "", ""}));
    EXPECT_EQ(rowTexts(hw2, 63).mid(0, 4), QStringList({"63", "No", "Last", ""}));
    EXPECT_TRUE(op.shown().isEmpty());
    EXPECT_EQ(op.busyDepth(), 0);
    EXPECT_GE(op.maxBusyDepth(), 1);

    // A second selection reloads from the files: unsaved table edits are gone.
    state.HW1Unit[1].Name1 = "changed";
    w->selectLocation("Site");
    EXPECT_EQ(rowTexts(hw1, 0)[2], "K1\\K3");
    EXPECT_EQ(hw1->topLevelItemCount(), 64);
}

TEST_F(MainWindow, DoubleClickEditsTheUnitAndRedrawsTheRow) {
    writeSite();
    auto w = startWindow();
    w->selectLocation("Site");
    auto* hw2 = child<QTreeWidget>(*w, "LSVHW2");
    hw2->topLevelItem(2)->setText(8, "55"); // a count column keeps its text
    child<QTabWidget>(*w, "SSTab1")->setCurrentIndex(1);
    int opened = 0;
    w->setDialogRunner([&](QDialog& dialog) {
        auto* editor = qobject_cast<FrmUnitConfiguration*>(&dialog);
        ASSERT_NE(editor, nullptr);
        ++opened;
        EXPECT_EQ(child<QLineEdit>(*editor, "txtHW")->text(), "2");
        EXPECT_EQ(child<QLineEdit>(*editor, "txtID")->text(), "3");
        QTest::mouseClick(child<QAbstractButton>(*editor, "OptType1"), Qt::LeftButton);
        QTest::keyClicks(child<QLineEdit>(*editor, "txtOnaam0"), "Dock");
        child<QComboBox>(*editor, "CboColumn0")->setCurrentText("12");
        QTest::mouseClick(child<QPushButton>(*editor, "CmdOpslaan"), Qt::LeftButton);
    });
    doubleClickRow(hw2, 2);
    ASSERT_EQ(opened, 1);
    EXPECT_EQ(rowTexts(hw2, 2),
              QStringList({"02", "Yes", "Dock", "", "12", "", "", "", "55", "", "", ""}));
    EXPECT_EQ(readBack("Site", 2)[3].Name1, "Dock");
    EXPECT_EQ(readBack("Site", 2)[3].Col1, "12");
}

TEST_F(MainWindow, DoubleClickOpensAModalEditor) {
    writeSite();
    auto w = startWindow();
    w->selectLocation("Site");
    bool wasModal = false;
    QTimer::singleShot(0, w.get(), [&] {
        auto* editor = qobject_cast<FrmUnitConfiguration*>(QApplication::activeModalWidget());
        ASSERT_NE(editor, nullptr);
        wasModal = editor->isModal() && editor->windowTitle() == "Unit configuration";
        QTest::mouseClick(child<QPushButton>(*editor, "CmdSluiten"), Qt::LeftButton);
    });
    auto* hw1 = child<QTreeWidget>(*w, "LsvHW1");
    doubleClickRow(hw1, 0);
    EXPECT_TRUE(wasModal);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(MainWindow, NewCreatesAndSelectsTheLocation) {
    writeSite();
    auto w = startWindow();
    w->setDialogRunner([&](QDialog& dialog) {
        auto* window = qobject_cast<FrmNewLocation*>(&dialog);
        ASSERT_NE(window, nullptr);
        QTest::keyClicks(child<QLineEdit>(*window, "txtName"), "Bridge");
        child<QComboBox>(*window, "CboConnType")->setCurrentIndex(0);
        child<QComboBox>(*window, "CboCommport")->setCurrentIndex(3);
        QTest::mouseClick(child<QPushButton>(*window, "cmdSave"), Qt::LeftButton);
    });
    QTest::mouseClick(child<QPushButton>(*w, "CmdNew"), Qt::LeftButton);
    auto* list = child<QComboBox>(*w, "CboLocation");
    EXPECT_EQ(list->currentText(), "Bridge");
    EXPECT_EQ(list->count(), 2);
    EXPECT_EQ(child<QLineEdit>(*w, "txtConnType")->text(), "Direct connect, comport: 4");
    EXPECT_EQ(child<QTreeWidget>(*w, "LsvHW1")->topLevelItemCount(), 64);
    EXPECT_TRUE(child<QPushButton>(*w, "CmdRefresh")->isEnabled());
}

TEST_F(MainWindow, CancelledNewLocationChangesNothing) {
    writeSite();
    auto w = startWindow();
    w->selectLocation("Site");
    w->setDialogRunner([](QDialog& dialog) {
        QTest::mouseClick(child<QPushButton>(dialog, "CmdBack"), Qt::LeftButton);
    });
    child<QAction>(*w, "mnuLocation")->trigger();
    EXPECT_EQ(child<QComboBox>(*w, "CboLocation")->currentText(), "Site");
    EXPECT_EQ(child<QComboBox>(*w, "CboLocation")->count(), 1);
}

TEST_F(MainWindow, PcbTestTabOnlyInServiceMode) {
    writeSite();
    {
        auto w = startWindow();
        w->selectLocation("Site");
        EXPECT_FALSE(child<QTabWidget>(*w, "SSTab1")->isTabVisible(2));
    }
    state.ServiceMode = true;
    auto w = startWindow();
    auto* tabs = child<QTabWidget>(*w, "SSTab1");
    EXPECT_TRUE(tabs->isTabVisible(2));
    EXPECT_FALSE(tabs->isTabEnabled(2));
    w->selectLocation("Site");
    EXPECT_TRUE(tabs->isTabEnabled(2));
    EXPECT_TRUE(child<QAbstractButton>(*w, "OptHW0")->isChecked());
    auto* test = child<QTreeWidget>(*w, "LsvHW");
    ASSERT_EQ(test->topLevelItemCount(), 64);
    EXPECT_EQ(rowTexts(test, 0).mid(0, 10),
              QStringList({"00", "Yes", "K1\\K3", "0123-4567-89AB", "0", "0", "0", "0", "0", "0"}));
    QTest::mouseClick(child<QAbstractButton>(*w, "OptHW1"), Qt::LeftButton);
    ASSERT_EQ(test->topLevelItemCount(), 64);
    EXPECT_EQ(rowTexts(test, 63)[2], "Last");
}

TEST_F(MainWindow, SaveHighwayFilesWritesBoth) {
    writeSite();
    auto w = startWindow();
    w->selectLocation("Site");
    state.HW1Unit[2].Name1 = "Saved1";
    state.HW2Unit[2].Name1 = "Saved2";
    child<QAction>(*w, "mnuHWfiles")->trigger();
    EXPECT_EQ(readBack("Site", 1)[2].Name1, "Saved1");
    EXPECT_EQ(readBack("Site", 2)[2].Name1, "Saved2");
}

TEST_F(MainWindow, CloseEndsWithoutAQuestion) {
    auto w = startWindow();
    QTest::mouseClick(child<QPushButton>(*w, "CmdClose"), Qt::LeftButton);
    EXPECT_FALSE(w->isVisible());
    EXPECT_TRUE(op.shown().isEmpty());
}
