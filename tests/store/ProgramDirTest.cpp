// Where the programs keep their locations: the rule every program follows.
#include "ProgramDir.h"
#include "TempDir.h"

#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>

using namespace nodalyx;
using nodalyx::test::TempDir;

TEST(ProgramDir, OptionThenExecutableDirectoryWithLocationsThenUserDirectory) {
    TempDir t;
    t.write("exe-with/Site.fgr", "");
    t.write("exe-upper/Site.FGR", "");   // the listing would not show it
    t.write("exe-folder/Dir.fgr/x", ""); // a folder, not a location file
    t.write("exe-empty/nodalyx-cli", "");
    const QString user = t.file("home/.local/share/nodalyx");
    struct Row {
        QString option, exeDir, expected;
    };
    const Row rows[] = {
        {t.file("given/deeper"), t.file("exe-with"), t.file("given/deeper")},
        {t.file("given/../given2/"), t.file("exe-empty"), t.file("given2")},
        {{}, t.file("exe-with"), t.file("exe-with")},
        {{}, t.file("exe-upper"), user},
        {{}, t.file("exe-folder"), user},
        {{}, t.file("exe-empty"), user},
        {{}, t.file("exe-missing"), user},
        {{}, {}, user},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE((row.option + " | " + row.exeDir).toStdString());
        EXPECT_EQ(resolveProgramDir(row.option, row.exeDir, user), row.expected);
        EXPECT_TRUE(QFileInfo(row.expected).isDir()); // made when missing
    }
    EXPECT_FALSE(QFileInfo::exists(t.file("exe-missing"))); // an executable's folder is not made
}

TEST(ProgramDir, RelativeOptionIsTakenFromTheWorkingDirectoryAndNoHomeNeverMeansTheRoot) {
    TempDir t;
    const QString old = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(t.path()));
    const QString relative = resolveProgramDir("locs", {}, t.file("user"));
    const QString noHome = resolveProgramDir({}, {}, {});
    QDir::setCurrent(old);
    EXPECT_EQ(relative, QDir(t.path()).canonicalPath() + "/locs");
    EXPECT_EQ(noHome, QDir(t.path()).canonicalPath());
}
