#include "AppFixture.h"
#include "FrmUnitConfiguration.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using namespace nodalyx;
using namespace nodalyx::test;

namespace {

class UnitEditor : public AppFixture {
protected:
    void SetUp() override {
        writeLocation("Site", lan("127.0.0.1", "10001"), [](SharedState& s) {
            UnitConfig& u = s.HW1Unit[5];
            u.Active = true;
            u.HWtype = 2;
            u.HWaddress = "00AA11BB22CC";
            u.Col1 = "3";
            u.Col2 = "4";
            u.Col3 = "5";
            u.Col4 = "6";
            u.Name1 = "East";
            u.Name3 = "West";
            u.From3 = "Hall";
            u.To3 = "Street";
            u.Cor1 = 0;
            u.Cor2 = 90;
            u.Entrancewidth2 = "4";
            UnitConfig& v = s.HW2Unit[7];
            v.Active = false;
            v.HWtype = 2;
            v.Name1 = "Old";
        });
        state.HW1Unit = readBack("Site", 1);
        state.HW2Unit = readBack("Site", 2);
    }

    // An editor shown (not modal) on unit `id` of `hw`.
    std::unique_ptr<FrmUnitConfiguration> open(const QString& hw, const QString& id) {
        auto editor = std::make_unique<FrmUnitConfiguration>(state, op, "Site");
        editor->setInputs(hw, id);
        editor->show();
        return editor;
    }

    static QLineEdit* box(const QWidget& w, const char* name) { return child<QLineEdit>(w, name); }
    static void click(const QWidget& w, const char* name) {
        QTest::mouseClick(child<QAbstractButton>(w, name), Qt::LeftButton);
    }
};

} // namespace

TEST_F(UnitEditor, ShowsTheUnitOfTheChosenRow) {
    auto ed = open("1", "5");
    EXPECT_EQ(ed->windowTitle(), "Unit configuration");
    EXPECT_TRUE(child<QRadioButton>(*ed, "OptType2")->isChecked());
    EXPECT_EQ(box(*ed, "txtCode0")->text(), "00AA");
    EXPECT_EQ(box(*ed, "txtCode2")->text(), "22CC");
    EXPECT_EQ(child<QComboBox>(*ed, "CboColumn3")->currentText(), "6");
    EXPECT_EQ(child<QComboBox>(*ed, "CboEwidth1")->currentIndex(), 4);
    EXPECT_EQ(child<QComboBox>(*ed, "CboEwidth1")->count(), 13);
    EXPECT_EQ(child<QComboBox>(*ed, "CboColumn0")->count(), 256);
    EXPECT_EQ(box(*ed, "txtOnaam2")->text(), "West");
    EXPECT_EQ(box(*ed, "txtTo2")->text(), "Street");
    EXPECT_EQ(box(*ed, "txtCor0")->text(), "100"); // a correction of 0 shows as 100
    EXPECT_EQ(box(*ed, "txtCor1")->text(), "90");
    EXPECT_TRUE(box(*ed, "txtHW")->isReadOnly());
    EXPECT_FALSE(ed->Gewijzigd());
}

TEST_F(UnitEditor, TypeRuleEnablesTheSets) {
    auto ed = open("1", "1"); // a default unit: not in use
    auto* set1 = child<QGroupBox>(*ed, "fraSet1");
    auto* set2 = child<QGroupBox>(*ed, "fraSet2");
    EXPECT_TRUE(child<QRadioButton>(*ed, "OptType0")->isChecked());
    EXPECT_FALSE(set1->isEnabled());
    EXPECT_FALSE(set2->isEnabled());
    EXPECT_FALSE(box(*ed, "txtCode1")->isEnabled());
    click(*ed, "OptType1");
    EXPECT_TRUE(set1->isEnabled());
    EXPECT_FALSE(set2->isEnabled());
    EXPECT_FALSE(box(*ed, "txtCode1")->isEnabled());
    click(*ed, "OptType2");
    EXPECT_TRUE(set2->isEnabled());
    EXPECT_TRUE(box(*ed, "txtCode1")->isEnabled());
}

TEST_F(UnitEditor, SaveStoresAllChannelsAndRewritesTheFile) {
    auto ed = open("1", "5");
    click(*ed, "OptType1"); // old version: set 2 disabled but still stored
    box(*ed, "txtOnaam0")->clear();
    QTest::keyClicks(box(*ed, "txtOnaam0"), "North gate!"); // blank and "!" are swallowed
    click(*ed, "CmdOpslaan");
    EXPECT_FALSE(ed->isVisible());
    EXPECT_EQ(ed->result(), QDialog::Accepted);

    const UnitConfig u = readBack("Site", 1)[5];
    EXPECT_TRUE(u.Active);
    EXPECT_EQ(u.HWtype, 1);
    EXPECT_EQ(u.Name1, "Northgate");
    EXPECT_EQ(u.Name3, "West");
    EXPECT_EQ(u.From3, "Hall");
    EXPECT_EQ(u.Col4, "6");
    EXPECT_EQ(u.Cor1, 100); // shown as 100, stored as 100
    EXPECT_EQ(u.Cor2, 90);
    EXPECT_EQ(u.Entrancewidth2, "4");
    EXPECT_EQ(u.HWaddress, "00AA11BB22CC");
    EXPECT_EQ(state.HW1Unit[5].Name1, "Northgate");
}

TEST_F(UnitEditor, InactiveUnitIsStoredAsTypeOne) {
    auto ed = open("2", "7");
    EXPECT_TRUE(child<QRadioButton>(*ed, "OptType0")->isChecked());
    EXPECT_TRUE(ed->SetData());
    const UnitConfig u = readBack("Site", 2)[7];
    EXPECT_FALSE(u.Active);
    EXPECT_EQ(u.HWtype, 1);
    EXPECT_EQ(u.Name1, "Old");
}

TEST_F(UnitEditor, IncompleteCodeStoresEmptyAndCodesTurnUpperCase) {
    auto ed = open("1", "5");
    QLineEdit* code2 = box(*ed, "txtCode2");
    code2->clear();
    QTest::keyClicks(code2, "c");
    EXPECT_TRUE(ed->SetData());
    EXPECT_EQ(readBack("Site", 1)[5].HWaddress, "");

    code2->clear();
    QTest::keyClicks(code2, "abxc9"); // x is no hex digit; max 4 characters
    EXPECT_EQ(code2->text(), "abc9");
    QFocusEvent leave(QEvent::FocusOut);
    QApplication::sendEvent(code2, &leave);
    EXPECT_EQ(code2->text(), "ABC9");
    EXPECT_TRUE(ed->SetData());
    EXPECT_EQ(readBack("Site", 1)[5].HWaddress, "00AA11BBABC9");
}

TEST_F(UnitEditor, ClearAllKeepsWidthsCorrectionsAndDirections) {
    auto ed = open("1", "5");
    click(*ed, "CmdClear");
    EXPECT_TRUE(child<QRadioButton>(*ed, "OptType0")->isChecked());
    EXPECT_TRUE(ed->Gewijzigd());
    click(*ed, "CmdOpslaan");
    const UnitConfig u = readBack("Site", 1)[5];
    EXPECT_FALSE(u.Active);
    EXPECT_EQ(u.Name1, "");
    EXPECT_EQ(u.Name3, "");
    EXPECT_EQ(u.Col1, "0");
    EXPECT_EQ(u.HWaddress, "");
    EXPECT_EQ(u.Entrancewidth2, "4");
    EXPECT_EQ(u.Cor2, 90);
    EXPECT_EQ(u.From3, "Hall");
}

TEST_F(UnitEditor, FreshUnitWhenNoIndexGiven) {
    auto ed = open("1", "");
    EXPECT_EQ(box(*ed, "txtOnaam3")->text(), "K4");
    EXPECT_EQ(box(*ed, "txtFrom0")->text(), "Out");
    EXPECT_EQ(box(*ed, "txtTo0")->text(), "In");
    EXPECT_EQ(box(*ed, "txtCor2")->text(), "100");
    EXPECT_EQ(child<QComboBox>(*ed, "CboEwidth3")->currentIndex(), 1);
    const QByteArray before = dir.read("Site/HW01.ini");
    EXPECT_TRUE(ed->SetData()); // nothing to store without an index
    EXPECT_EQ(dir.read("Site/HW01.ini"), before);
}

TEST_F(UnitEditor, IndexOutsideTheTableShowsAndStoresNothing) {
    auto ed = open("1", "65");
    EXPECT_EQ(box(*ed, "txtOnaam0")->text(), "");
    const QByteArray before = dir.read("Site/HW01.ini");
    EXPECT_TRUE(ed->SetData());
    EXPECT_EQ(dir.read("Site/HW01.ini"), before);
}

// Each edit of the operator raises the modified flag; loading does not.
TEST_F(UnitEditor, EveryEditMarksTheUnitModified) {
    auto ed = open("1", "5");
    EXPECT_FALSE(ed->Gewijzigd());
    QTest::keyClicks(box(*ed, "txtFrom0"), "A");
    EXPECT_TRUE(ed->Gewijzigd());

    ed->setInputs("1", "5");
    EXPECT_FALSE(ed->Gewijzigd());
    QTest::keyClick(child<QComboBox>(*ed, "CboColumn1"), Qt::Key_Down);
    EXPECT_TRUE(ed->Gewijzigd());

    ed->setInputs("1", "5");
    click(*ed, "OptType1");
    EXPECT_TRUE(ed->Gewijzigd());

    ed->setInputs("1", "5");
    box(*ed, "txtCode1")->selectAll();
    QTest::keyClicks(box(*ed, "txtCode1"), "a");
    EXPECT_TRUE(ed->Gewijzigd());
}

TEST_F(UnitEditor, CloseWithEditsAsksAndYesStores) {
    auto ed = open("1", "5");
    QTest::keyClicks(box(*ed, "txtOnaam1"), "X");
    op.answer({true});
    click(*ed, "CmdSluiten");
    ASSERT_EQ(op.questions(), 1);
    EXPECT_EQ(op.lastText(), "Data have been modified\r\nStore firstly?");
    EXPECT_FALSE(ed->isVisible());
    EXPECT_EQ(readBack("Site", 1)[5].Name2, "X");
}

TEST_F(UnitEditor, CloseWithEditsAndNoLeavesTheFile) {
    auto ed = open("1", "5");
    const QByteArray before = dir.read("Site/HW01.ini");
    QTest::keyClicks(box(*ed, "txtOnaam1"), "X");
    op.answer({false});
    QTest::keyClick(ed.get(), Qt::Key_Escape);
    EXPECT_EQ(op.questions(), 1);
    EXPECT_FALSE(ed->isVisible());
    EXPECT_FALSE(ed->Gewijzigd());
    EXPECT_EQ(dir.read("Site/HW01.ini"), before);
    EXPECT_EQ(state.HW1Unit[5].Name2, ""); // the table is untouched too
}

TEST_F(UnitEditor, CloseWithoutEditsAsksNothing) {
    auto ed = open("1", "5");
    click(*ed, "CmdSluiten");
    EXPECT_EQ(op.questions(), 0);
    EXPECT_FALSE(ed->isVisible());
}

TEST_F(UnitEditor, UnusableCorrectionIsRefusedNamingTheChannel) {
    const QByteArray before = dir.read("Site/HW01.ini");
    for (const char* text : {"", "256", "999"}) {
        auto ed = open("1", "5");
        box(*ed, "txtCor1")->setText(QLatin1String(text));
        click(*ed, "CmdOpslaan");
        EXPECT_TRUE(ed->isVisible()) << text;
        EXPECT_EQ(op.lastText(), "Correction of channel 2 must be a whole number from 0 to 255.");
        EXPECT_EQ(dir.read("Site/HW01.ini"), before);
        EXPECT_EQ(state.HW1Unit[5].Cor2, 90);
        op.clear();
    }
    auto ed = open("1", "5");
    box(*ed, "txtCor3")->setText("255");
    box(*ed, "txtCor0")->setText("0");
    click(*ed, "CmdOpslaan");
    EXPECT_FALSE(ed->isVisible());
    EXPECT_EQ(readBack("Site", 1)[5].Cor4, 255);
    EXPECT_EQ(readBack("Site", 1)[5].Cor1, 0);
}

TEST_F(UnitEditor, UnusableCorrectionAlsoStopsTheClosePrompt) {
    auto ed = open("1", "5");
    box(*ed, "txtCor0")->selectAll();
    QTest::keyClick(box(*ed, "txtCor0"), Qt::Key_Backspace); // an empty correction
    ASSERT_TRUE(ed->Gewijzigd());
    op.answer({true});
    click(*ed, "CmdSluiten");
    EXPECT_TRUE(ed->isVisible());
    EXPECT_EQ(op.lastText(), "Correction of channel 1 must be a whole number from 0 to 255.");
}

TEST_F(UnitEditor, FailedWriteKeepsTheWindowOpen) {
    // The location folder is missing and a file stands in its place: the write must fail.
    ASSERT_TRUE(QDir(dir.file("Site")).removeRecursively());
    dir.write("Site", "not a folder");
    auto ed = open("1", "5");
    QTest::keyClicks(box(*ed, "txtOnaam0"), "Y");
    click(*ed, "CmdOpslaan");
    EXPECT_TRUE(ed->isVisible());
    EXPECT_FALSE(op.shown().isEmpty()); // the writer reported it
    EXPECT_TRUE(ed->Gewijzigd());

    op.clear();
    op.answer({true}); // "Store firstly?" Yes, and the write fails again
    click(*ed, "CmdSluiten");
    EXPECT_TRUE(ed->isVisible());
}
