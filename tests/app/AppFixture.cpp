#include "AppFixture.h"

#include "HighwayStore.h"
#include "LocationStore.h"

#include <QDir>

namespace nodalyx::test {

AppFixture::AppFixture() {
    state.programDir = dir.path();
}

void AppFixture::writeLocation(const QString& name, const GeneralSettings& settings,
                               const std::function<void(SharedState&)>& prepare) {
    SharedState other;
    other.programDir = dir.path();
    other.settings = settings;
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

UnitTable AppFixture::readBack(const QString& name, int highway) {
    SharedState other;
    other.programDir = dir.path();
    ScriptedOperator quiet;
    EXPECT_TRUE(ReadHighway(other, highway, name, quiet));
    return other.table(highway);
}

GeneralSettings AppFixture::lan(const QString& ip, const QString& port) {
    GeneralSettings s;
    s.ConnType = 2;
    s.IPnumber = ip;
    s.Portnumber = port;
    return s;
}

} // namespace nodalyx::test
