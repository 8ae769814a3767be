// Where the programs keep their locations: the rule every program follows.
#include "ProgramDir.h"
#include "TempDir.h"

#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>

using namespace nodalyx;
using nodalyx::test::TempDir;

namespace {

// The environment variable the per-user data directory follows, set for one test.
class DataHome {
public:
    explicit DataHome(const QString& path)
        : m_wasSet(qEnvironmentVariableIsSet("XDG_DATA_HOME")), m_old(qgetenv("XDG_DATA_HOME")) {
        qputenv("XDG_DATA_HOME", QFile::encodeName(path));
    }
    ~DataHome() {
        if (m_wasSet)
            qputenv("XDG_DATA_HOME", m_old);
        else
            qunsetenv("XDG_DATA_HOME");
    }

private:
    bool m_wasSet;
    QByteArray m_old;
};

} // namespace

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

TEST(ProgramDir, UserDirectoryIsTheSameForEveryProgram) {
    TempDir t;
    DataHome home(t.path());
    EXPECT_EQ(userDataDir(), t.path() + "/nodalyx");
    // This test program's own folder holds no location file, so the default is the user one.
    EXPECT_EQ(resolveProgramDir({}), t.path() + "/nodalyx");
    EXPECT_TRUE(QFileInfo(t.path() + "/nodalyx").isDir());
}
