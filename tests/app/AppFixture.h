#pragma once

#include "ScriptedOperator.h"
#include "SharedState.h"
#include "TempDir.h"

#include <QObject>
#include <QString>
#include <functional>
#include <gtest/gtest.h>

#include <ostream>

// Readable QString values in failure messages.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

namespace nodalyx::test {

// A program directory with its shared state and a scripted operator, and helpers that put
// locations into it through the store.
class AppFixture : public ::testing::Test {
protected:
    AppFixture();

    // Writes "<name>.fgr" with the given connection and both highway files from the tables
    // of a fresh state in which `prepare` has set units.
    void writeLocation(const QString& name, const GeneralSettings& settings,
                       const std::function<void(SharedState&)>& prepare = {});
    // The highway table as the file of the location holds it now.
    UnitTable readBack(const QString& name, int highway);

    static GeneralSettings lan(const QString& ip, const QString& port);

    // A child of `parent` by object name; fails the test when it is missing.
    template <typename T> static T* child(const QObject& parent, const char* name) {
        T* found = parent.findChild<T*>(QLatin1String(name));
        EXPECT_NE(found, nullptr) << "no control " << name;
        return found;
    }

    TempDir dir;
    SharedState state;
    ScriptedOperator op;
};

} // namespace nodalyx::test
