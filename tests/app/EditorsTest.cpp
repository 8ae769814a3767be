#include "AppFixture.h"
#include "FrmNewLocation.h"
#include "FrmUnitConfiguration.h"
#include "KeyFilters.h"

#include <QClipboard>
#include <QComboBox>
#include <QRadioButton>

using namespace nodalyx;
using namespace nodalyx::test;

TEST(KeyFilters, ControlCodesPassOtherKeysOnlyWhenAllowed) {
    // The sets are case sensitive; 27 (Escape) and 32 (blank) are no control codes here.
    const std::tuple<KeyFilterFunction, const char*, const char*> rows[] = {
        {FilterDigits, "7", ": \x1b"},
        {FilterTimeChars, ":", "."},
        {FilterHexChars, "fF", "gG"},
        {FilterNameChars, "z-_", " \\\xE9"}};
    for (const auto& [filter, allowed, refused] : rows) {
        SCOPED_TRACE(allowed);
        for (int key : {0, 8, 13, 26})
            EXPECT_EQ(filter(key), key);
        for (const char* c = allowed; *c; ++c)
            EXPECT_EQ(filter(uchar(*c)), uchar(*c));
        for (const char* c = refused; *c; ++c)
            EXPECT_EQ(filter(uchar(*c)), 0) << int(uchar(*c));
    }
}

namespace {

class NewLocation : public AppFixture {
protected:
    std::unique_ptr<FrmNewLocation> open() {
        auto window = std::make_unique<FrmNewLocation>(state, op);
        window->show();
        window->activateWindow(); // the address boxes move the focus
        EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
        return window;
    }
    // The form filled in: a complete LAN location.
    static void fill(const QWidget& w, const QString& name) {
        type(w, "txtName", name);
        child<QComboBox>(w, "CboConnType")->setCurrentIndex(1);
        for (const auto& [box, text] : {std::pair{"txtIPaddress7", "192"},
                                        {"txtIPaddress6", "168"},
                                        {"txtIPaddress5", "10"},
                                        {"txtIPaddress4", "20"},
                                        {"txtPortNumber1", "10001"}})
            type(w, box, text);
    }
};

} // namespace

TEST_F(NewLocation, SaveCreatesAndLoadsTheLocationEscapeLeavesNoName) {
    auto w = open();
    fill(*w, " Harbour"); // the name as typed, blank and all
    click(*w, "cmdSave");
    EXPECT_FALSE(w->isVisible());
    EXPECT_EQ(w->NewName(), " Harbour");
    EXPECT_TRUE(dir.exists(" Harbour.fgr"));
    EXPECT_EQ(state.settings.IPnumber, "192.168.10.20");

    w = open();
    fill(*w, "Pier");
    QTest::keyClick(child<QLineEdit>(*w, "txtName"), Qt::Key_Escape);
    EXPECT_FALSE(w->isVisible());
    EXPECT_TRUE(w->NewName().isEmpty());
    EXPECT_FALSE(dir.exists("Pier.fgr"));
}

// The four address boxes are typed as one field: "." and a third digit move on, and a pasted
// address spreads over the boxes.
TEST_F(NewLocation, AddressBoxesTakeADottedAddressTypedOrPasted) {
    const std::tuple<const char*, const char*, const char*> rows[] = {
        // {typed, pasted, the address the request gets}
        {"1921681", "", "192.168.1."},
        {"10.0.0.7.5", "", "10.0.0.75"}, // the last box has no next: the "." is dropped
        {"", " 10.a1.2", "10.1.2."},     // only the digits of each part
        {"", "123456", "123..."}};       // no dot: an ordinary paste
    for (const auto& [typed, pasted, address] : rows) {
        SCOPED_TRACE(std::string(typed) + "|" + pasted);
        auto w = open();
        QLineEdit* first = child<QLineEdit>(*w, "txtIPaddress7");
        first->setFocus();
        for (const char* c = typed; *c; ++c)
            QTest::keyClick(QApplication::focusWidget(), *c);
        if (*pasted) {
            QApplication::clipboard()->setText(pasted);
            QTest::keySequence(first, QKeySequence::Paste);
        }
        EXPECT_EQ(w->request().IPnumber, address);
    }
}

// The store decides what to refuse (its own test); the window shows it, stays open and writes
// nothing.
TEST_F(NewLocation, RefusalKeepsTheWindowOpenAndWritesNothing) {
    writeLocation("Harbour", [](SharedState& s) { s.HW1Unit[1].Name1 = "Keep"; });
    const QByteArray fgr = dir.read("Harbour.fgr"), hw = dir.read("Harbour/HW01.ini");
    auto w = open();
    fill(*w, "Harbour"); // exists already
    click(*w, "cmdSave");
    EXPECT_TRUE(w->isVisible());
    EXPECT_TRUE(w->NewName().isEmpty());
    EXPECT_EQ(op.shown().size(), 1);
    EXPECT_EQ(dir.read("Harbour.fgr"), fgr);
    EXPECT_EQ(dir.read("Harbour/HW01.ini"), hw);
}

namespace {

class UnitEditor : public AppFixture {
protected:
    void SetUp() override {
        writeSite();
        state.HW1Unit = readBack("Site", 1);
        state.HW2Unit = readBack("Site", 2);
        file = dir.read("Site/HW02.ini");
        unit = state.HW2Unit[3];
    }
    // An editor shown (not modal) on unit `id` of highway `hw`.
    std::unique_ptr<FrmUnitConfiguration> open(const QString& hw = "2", const QString& id = "3") {
        auto editor = std::make_unique<FrmUnitConfiguration>(state, op, "Site");
        editor->setInputs(hw, id);
        editor->show();
        return editor;
    }
    static QLineEdit* box(const QWidget& w, const char* name) { return child<QLineEdit>(w, name); }
    // A refusal: the editor stays open; neither the file nor the table has changed.
    void expectNothingStored(const QWidget& ed) {
        EXPECT_TRUE(ed.isVisible());
        EXPECT_EQ(dir.read("Site/HW02.ini"), file);
        EXPECT_EQ(state.HW2Unit[3], unit);
    }

    QByteArray file; // highway 2's file as written before the test
    UnitConfig unit; // and its unit 3
};

} // namespace

TEST_F(UnitEditor, ShowsTheUnitOfTheChosenRow) {
    auto ed = open();
    EXPECT_TRUE(child<QRadioButton>(*ed, "OptType2")->isChecked());
    EXPECT_EQ(box(*ed, "txtCode2")->text(), "89AB");
    EXPECT_EQ(child<QComboBox>(*ed, "CboColumn3")->currentText(), "6");
    EXPECT_EQ(child<QComboBox>(*ed, "CboEwidth1")->currentIndex(), 4);
    EXPECT_EQ(box(*ed, "txtCor0")->text(), "100"); // a correction of 0 shows as 100
    EXPECT_FALSE(ed->Gewijzigd());
    ed->setInputs("1", "64"); // a unit not in use shows as type 0 whatever its type
    EXPECT_TRUE(child<QRadioButton>(*ed, "OptType0")->isChecked());
    ed->setInputs("2", "65"); // outside the table: nothing is stored
    EXPECT_TRUE(ed->SetData());
    EXPECT_EQ(dir.read("Site/HW02.ini"), file);
}

// What the unit cannot hold is refused by Save and by Yes to the close question alike, naming
// the box: an incomplete code of an active new-version unit, an unusable correction, and pasted
// text (past the key filters) the highway file would lose on reading.
TEST_F(UnitEditor, WhatTheUnitCannotHoldIsRefusedNamingTheBox) {
    const QString code = "Unit code box %1 must hold 4 hexadecimal digits (0-9, A-F).";
    const QString cor = "Correction of channel %1 must be a whole number from 0 to 255.";
    const std::tuple<QStringList, const char*, QString> rows[] = {
        {{"txtCode1=", "txtCode2="}, "CmdOpslaan", code.arg(2)}, // the first bad box is named
        {{"txtCode0=99"}, "CmdOpslaan", code.arg(1)},
        {{"txtCode1=45G7"}, "CmdOpslaan", code.arg(2)},
        {{"txtCor1="}, "CmdOpslaan", cor.arg(2)},
        {{"txtCor1=256"}, "CmdOpslaan", cor.arg(2)},
        {{"txtCor0="}, "CmdSluiten", cor.arg(1)},
        {{"txtTo2=Hall [A]"}, "CmdOpslaan", "To of channel 3 cannot hold"},
        {{"txtTo2=Line\nbreak"}, "CmdOpslaan", "To of channel 3 cannot hold"}};
    for (const auto& [edits, button, refusal] : rows) {
        SCOPED_TRACE(edits.join(' ').toStdString() + button);
        op.clear();
        op.answer({true});
        auto ed = open();
        type(*ed, "txtOnaam0", "X"); // an edit: Close asks
        for (const QString& edit : edits)
            box(*ed, qPrintable(edit.section('=', 0, 0)))->setText(edit.section('=', 1));
        click(*ed, button);
        expectNothingStored(*ed);
        EXPECT_TRUE(op.lastText().startsWith(refusal)) << op.lastText().toStdString();
    }
    auto ed = open(); // the edges of a correction are stored
    box(*ed, "txtCor3")->setText("255");
    box(*ed, "txtCor0")->setText("0");
    click(*ed, "CmdOpslaan");
    const UnitConfig stored = readBack("Site", 2)[3];
    EXPECT_EQ(std::pair(stored.Cor4, stored.Cor1), std::pair(quint8(255), quint8(0)));
}

TEST_F(UnitEditor, OldVersionStoresAnIncompleteCodeEmptyAndCodesTurnUpperCase) {
    auto ed = open();
    QLineEdit* code2 = box(*ed, "txtCode2");
    code2->clear();
    QTest::keyClicks(code2, "c");
    click(*ed, "OptType1");
    EXPECT_TRUE(ed->SetData());
    EXPECT_TRUE(op.shown().isEmpty());
    EXPECT_EQ(readBack("Site", 2)[3].HWaddress, "");

    click(*ed, "OptType2");
    code2->clear();
    QTest::keyClicks(code2, "abxc9"); // x is no hex digit; max 4 characters
    EXPECT_EQ(code2->text(), "abc9");
    QFocusEvent leave(QEvent::FocusOut);
    QApplication::sendEvent(code2, &leave);
    EXPECT_EQ(code2->text(), "ABC9");
    code2->setText("abc9"); // Enter on Save while the box still has the focus
    EXPECT_TRUE(ed->SetData());
    EXPECT_EQ(readBack("Site", 2)[3].HWaddress, "01234567ABC9");
}

TEST_F(UnitEditor, ClearAllKeepsWidthsCorrectionsAndDirections) {
    auto ed = open();
    click(*ed, "CmdClear");
    EXPECT_TRUE(child<QRadioButton>(*ed, "OptType0")->isChecked());
    EXPECT_TRUE(ed->Gewijzigd());
    click(*ed, "CmdOpslaan");
    UnitConfig expected = unit;
    expected.Active = false;
    expected.HWtype = 1; // a unit not in use is stored as type 1
    expected.HWaddress.clear();
    expected.Name1.clear();
    expected.Name3.clear();
    expected.Col3 = expected.Col4 = "0";
    expected.Cor1 = 100;
    EXPECT_EQ(readBack("Site", 2)[3], expected);
}

// Each edit of the operator raises the modified flag; loading a unit clears it.
TEST_F(UnitEditor, EveryEditMarksTheUnitModified) {
    const std::function<void(QWidget&)> edits[] = {
        [](QWidget& ed) { type(ed, "txtFrom0", "A"); },
        [](QWidget& ed) { QTest::keyClick(child<QComboBox>(ed, "CboColumn1"), Qt::Key_Down); },
        [](QWidget& ed) { click(ed, "OptType1"); },
        [](QWidget& ed) { QTest::keyClick(box(ed, "txtCode1"), Qt::Key_Backspace); }};
    auto ed = open();
    for (size_t i = 0; i < std::size(edits); ++i) {
        SCOPED_TRACE(i);
        ed->setInputs("2", "3");
        EXPECT_FALSE(ed->Gewijzigd());
        edits[i](*ed);
        EXPECT_TRUE(ed->Gewijzigd());
    }
}

// Closing asks "Store firstly?" only after edits: Yes stores, No leaves file and table alone.
TEST_F(UnitEditor, CloseAsksToStoreOnlyAfterEdits) {
    auto ed = open();
    click(*ed, "CmdSluiten");
    EXPECT_EQ(op.questions(), 0);
    EXPECT_FALSE(ed->isVisible());

    // The key filters act on typed characters: Delete still edits, Escape still closes.
    ed = open();
    QLineEdit* name = box(*ed, "txtOnaam1");
    name->setText("AB");
    name->setFocus();
    name->setCursorPosition(0);
    QTest::keyClick(name, Qt::Key_Delete);
    EXPECT_EQ(name->text(), "B");
    op.answer({false});
    QTest::keyClick(name, Qt::Key_Escape);
    EXPECT_EQ(op.questions(), 1);
    EXPECT_FALSE(ed->isVisible());
    EXPECT_EQ(dir.read("Site/HW02.ini"), file);
    EXPECT_EQ(state.HW2Unit[3], unit); // the table is untouched too

    ed = open();
    type(*ed, "txtOnaam1", "X");
    op.answer({true});
    click(*ed, "CmdSluiten");
    EXPECT_EQ(op.questions(), 2);
    EXPECT_EQ(op.lastText(), "Data have been modified\r\nStore firstly?");
    EXPECT_FALSE(ed->isVisible());
    EXPECT_EQ(readBack("Site", 2)[3].Name2, "X");
}

TEST_F(UnitEditor, FailedWriteKeepsTheWindowOpen) {
    // The location folder is missing and a file stands in its place: the write must fail.
    ASSERT_TRUE(QDir(dir.file("Site")).removeRecursively());
    dir.write("Site", "not a folder");
    auto ed = open();
    type(*ed, "txtOnaam0", "Y");
    click(*ed, "CmdOpslaan");
    EXPECT_TRUE(ed->isVisible());
    EXPECT_FALSE(op.shown().isEmpty()); // the writer reported it
    EXPECT_TRUE(ed->Gewijzigd());
    EXPECT_EQ(state.HW2Unit[3], unit); // the table keeps what the file holds

    op.clear();
    op.answer({true}); // "Store firstly?" Yes, and the write fails again
    click(*ed, "CmdSluiten");
    EXPECT_TRUE(ed->isVisible());
    EXPECT_EQ(state.HW2Unit[3], unit);
}
