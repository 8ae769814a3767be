#include "AppFixture.h"
#include "FrmNewLocation.h"
#include "LocationStore.h"

#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace nodalyx;
using namespace nodalyx::test;

namespace {

class NewLocation : public AppFixture {
protected:
    std::unique_ptr<FrmNewLocation> open() {
        auto window = std::make_unique<FrmNewLocation>(state, op);
        window->show();
        return window;
    }
    static void type(const QWidget& w, const char* name, const QString& text) {
        QTest::keyClicks(child<QLineEdit>(w, name), text);
    }
    static void choose(const QWidget& w, const char* name, int index) {
        child<QComboBox>(w, name)->setCurrentIndex(index);
    }
    static void save(const QWidget& w) {
        QTest::mouseClick(child<QPushButton>(w, "cmdSave"), Qt::LeftButton);
    }
    // A LAN location form filled in completely.
    static void fillLan(const QWidget& w, const QString& name) {
        type(w, "txtName", name);
        choose(w, "CboConnType", 1);
        type(w, "txtIPaddress7", "192");
        type(w, "txtIPaddress6", "168");
        type(w, "txtIPaddress5", "10");
        type(w, "txtIPaddress4", "20");
        type(w, "txtPortNumber1", "10001");
    }
};

} // namespace

TEST_F(NewLocation, OpensWithoutChoices) {
    auto w = open();
    EXPECT_EQ(w->windowTitle(), "New Location");
    EXPECT_EQ(child<QComboBox>(*w, "CboConnType")->currentIndex(), -1);
    EXPECT_EQ(child<QComboBox>(*w, "CboCommport")->currentIndex(), -1);
    EXPECT_EQ(child<QComboBox>(*w, "CboConnType")->itemText(0), "Com port");
    EXPECT_EQ(child<QComboBox>(*w, "CboCommport")->count(), 16);
    type(*w, "txtIPaddress7", "1a.2345");
    EXPECT_EQ(child<QLineEdit>(*w, "txtIPaddress7")->text(), "123"); // digits, at most 3
}

TEST_F(NewLocation, SaveCreatesTheLocationAndLeavesItLoaded) {
    auto w = open();
    fillLan(*w, "Harbour");
    save(*w);
    EXPECT_FALSE(w->isVisible());
    EXPECT_EQ(w->NewName(), "Harbour");
    EXPECT_TRUE(dir.exists("Harbour.fgr"));
    EXPECT_TRUE(dir.exists("Harbour/HW01.ini"));
    EXPECT_TRUE(dir.exists("Harbour/HW02.ini"));
    EXPECT_EQ(state.settings.ConnType, 2);
    EXPECT_EQ(state.settings.IPnumber, "192.168.10.20");
    EXPECT_EQ(state.settings.Portnumber, "10001");
    EXPECT_EQ(state.settings.LocationCode, "001");
}

TEST_F(NewLocation, RequestFromTheControls) {
    auto w = open();
    type(*w, "txtName", " Two blanks ");
    type(*w, "txtIPaddress7", "192");
    choose(*w, "CboCommport", 2);
    const NewLocationRequest r = w->request();
    EXPECT_EQ(r.name, " Two blanks ");
    EXPECT_EQ(r.ConnType, 0);
    EXPECT_EQ(r.comport, "3");
    EXPECT_EQ(r.IPnumber, "192..."); // the other boxes may be empty
    child<QLineEdit>(*w, "txtIPaddress7")->clear();
    type(*w, "txtIPaddress6", "168");
    EXPECT_EQ(w->request().IPnumber, ""); // leftmost empty: no address
}

TEST_F(NewLocation, BlankNameIsRefused) {
    auto w = open();
    type(*w, "txtName", "   ");
    save(*w);
    EXPECT_EQ(op.lastText(), "No name found");
    EXPECT_TRUE(w->isVisible());
    EXPECT_TRUE(w->NewName().isEmpty());
}

// Refusals keep the window open and write nothing.
TEST_F(NewLocation, UnusableRequestsAreRefused) {
    const auto refused = [&](const std::function<void(QWidget&)>& fill) {
        op.clear();
        auto w = open();
        fill(*w);
        save(*w);
        EXPECT_TRUE(w->isVisible());
        EXPECT_TRUE(w->NewName().isEmpty());
        EXPECT_EQ(op.shown().size(), 1);
        EXPECT_FALSE(op.lastText().isEmpty());
    };
    refused([](QWidget& w) { // serial without a port
        type(w, "txtName", "Serial");
        choose(w, "CboConnType", 0);
    });
    EXPECT_FALSE(dir.exists("Serial.fgr"));
    refused([](QWidget& w) { // LAN without an address
        type(w, "txtName", "Lan");
        choose(w, "CboConnType", 1);
        type(w, "txtPortNumber1", "10001");
    });
    EXPECT_FALSE(dir.exists("Lan.fgr"));
    refused([](QWidget& w) { fillLan(w, "Bad/Name"); });
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).isEmpty());
}

TEST_F(NewLocation, ExistingLocationIsNeverOverwritten) {
    writeLocation("Harbour", lan("10.1.1.1", "4000"),
                  [](SharedState& s) { s.HW1Unit[1].Name1 = "Keep"; });
    const QByteArray fgr = dir.read("Harbour.fgr");
    const QByteArray hw = dir.read("Harbour/HW01.ini");
    auto w = open();
    fillLan(*w, "Harbour");
    save(*w);
    EXPECT_TRUE(w->isVisible());
    EXPECT_FALSE(op.lastText().isEmpty());
    EXPECT_EQ(dir.read("Harbour.fgr"), fgr);
    EXPECT_EQ(dir.read("Harbour/HW01.ini"), hw);
}

TEST_F(NewLocation, BackLeavesNoName) {
    auto w = open();
    fillLan(*w, "Harbour");
    QTest::mouseClick(child<QPushButton>(*w, "CmdBack"), Qt::LeftButton);
    EXPECT_FALSE(w->isVisible());
    EXPECT_TRUE(w->NewName().isEmpty());
    EXPECT_FALSE(dir.exists("Harbour.fgr"));
}

TEST_F(NewLocation, EnterSavesAndEscapeGoesBack) {
    auto w = open();
    fillLan(*w, "Quay");
    QTest::keyClick(child<QLineEdit>(*w, "txtPortNumber1"), Qt::Key_Return);
    EXPECT_EQ(w->NewName(), "Quay");
    EXPECT_TRUE(dir.exists("Quay.fgr"));

    auto again = open();
    fillLan(*again, "Pier");
    QTest::keyClick(child<QLineEdit>(*again, "txtName"), Qt::Key_Escape);
    EXPECT_FALSE(again->isVisible());
    EXPECT_TRUE(again->NewName().isEmpty());
    EXPECT_FALSE(dir.exists("Pier.fgr"));
}
