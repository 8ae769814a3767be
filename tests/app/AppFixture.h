#pragma once

#include "FrmMain.h"
#include "HighwayStore.h"
#include "LocationStore.h"
#include "ScriptedOperator.h"
#include "TempDir.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>

// Readable QString values in failure messages.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

namespace nodalyx::test {

// A program directory with its shared state and operator; locations written by the store.
class AppFixture : public ::testing::Test {
protected:
    AppFixture() { state.programDir = dir.path(); }

    // Writes a location (LAN 127.0.0.1:10001) with the units `prepare` sets in a fresh state.
    void writeLocation(const QString& name, const std::function<void(SharedState&)>& prepare = {}) {
        SharedState other;
        other.programDir = dir.path();
        other.settings.ConnType = 2;
        other.settings.IPnumber = "127.0.0.1";
        other.settings.Portnumber = "10001";
        ResetHW01(other);
        ResetHW02(other);
        if (prepare)
            prepare(other);
        ScriptedOperator quiet;
        ASSERT_TRUE(WriteFGR(other, name, quiet));
        ASSERT_TRUE(QDir(dir.path()).mkpath(name));
        ASSERT_TRUE(WriteHW01(other, name, quiet));
        ASSERT_TRUE(WriteHW02(other, name, quiet));
        ASSERT_TRUE(quiet.shown().isEmpty()) << quiet.lastText().toStdString();
    }
    // "Site": unit 3 of highway 2 in use with a value in most fields; unit 64 of highway 1 not
    // in use although of type 2, with a unit code one character too long.
    void writeSite() {
        writeLocation("Site", [](SharedState& s) {
            UnitConfig& u = s.HW2Unit[3];
            u.Active = true;
            u.HWtype = 2;
            u.HWaddress = "0123456789AB";
            u.Col3 = "7";
            u.Col4 = "6";
            u.Name1 = "K1";
            u.Name3 = "K3";
            u.From3 = "Hall";
            u.To3 = "Street";
            u.Cor1 = 0;
            u.Cor2 = 90;
            u.Entrancewidth2 = "4";
            s.HW1Unit[64].HWtype = 2;
            s.HW1Unit[64].Name1 = "Last";
            s.HW1Unit[64].HWaddress = "0123456789ABC";
            s.HW1Unit[64].Col1 = "00";
        });
    }
    // The highway table as the file of the location holds it now.
    UnitTable readBack(const QString& name, int highway) {
        SharedState other;
        other.programDir = dir.path();
        ScriptedOperator quiet;
        EXPECT_TRUE(ReadHighway(other, highway, name, quiet));
        return other.table(highway);
    }

    // The main window after its start, shown.
    std::unique_ptr<FrmMain> startWindow() {
        auto w = std::make_unique<FrmMain>(state, op);
        w->start();
        w->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(w.get()));
        return w;
    }
    // The main window on the location "Site".
    std::unique_ptr<FrmMain> startOnSite() {
        writeSite();
        auto w = startWindow();
        w->selectLocation("Site");
        return w;
    }
    static QStringList rowTexts(const QTreeWidget* list, int row) {
        QStringList texts;
        for (int c = 0; c < list->columnCount(); ++c)
            texts << list->topLevelItem(row)->text(c);
        return texts;
    }

    // A child of `parent` by object name; fails the test when it is missing.
    template <typename T> static T* child(const QObject& parent, const char* name) {
        T* found = parent.findChild<T*>(QLatin1String(name));
        EXPECT_NE(found, nullptr) << "no control " << name;
        return found;
    }
    static void click(const QObject& w, const char* name) {
        QTest::mouseClick(child<QAbstractButton>(w, name), Qt::LeftButton);
    }
    static void type(const QObject& w, const char* name, const QString& text) {
        QTest::keyClicks(child<QLineEdit>(w, name), text);
    }

    TempDir dir;
    SharedState state;
    ScriptedOperator op;
};

} // namespace nodalyx::test
