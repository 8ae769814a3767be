// Where the programs keep their locations: the rule every program follows, and nodalyx-cli
// following it and saying which directory it is.
#include "ProgramDir.h"
#include "CliProcess.h"
#include "TempDir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

using namespace nodalyx;
using namespace nodalyx::test;

TEST(ProgramDir, OptionThenExecutableDirectoryWithLocationsThenUserDirectory) {
    TempDir t;
    t.write("exe-with/Site.fgr", "");
    t.write("exe-upper/Site.FGR", "");   // Linux's listing would not show it; Windows's does
    t.write("exe-folder/Dir.fgr/x", ""); // a folder, not a location file
    const QString user = t.file("home/.local/share/nodalyx");
    struct Row {
        QString option, exeDir, expected;
    };
    const Row rows[] = {
        {t.file("given/../given2/"), t.file("exe-with"), t.file("given2")},
        {{}, t.file("exe-with"), t.file("exe-with")},
#ifdef Q_OS_WIN
        {{}, t.file("exe-upper"), t.file("exe-upper")},
#else
        {{}, t.file("exe-upper"), user},
#endif
        {{}, t.file("exe-folder"), user},
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

namespace {

const QString kCli = QStringLiteral(NODALYX_CLI_PATH);

// Runs a copy (or the built program) with XDG_DATA_HOME pointing at dataHome.
CliRun runAt(const QString& program, const QString& dataHome, const QStringList& args) {
    return runProgram(program, args, {{"XDG_DATA_HOME", dataHome}});
}

} // namespace

TEST(CliProgramDir, WithoutDirTheUserDirectoryThatTheWindowsUseToo) {
    TempDir home;
    EXPECT_EQ(runAt(kCli, home.path(), {"where"}).out, home.path() + "/nodalyx\n");
    qputenv("XDG_DATA_HOME", QFile::encodeName(home.path()));
    const QString windows = nodalyx::resolveProgramDir({});
    qunsetenv("XDG_DATA_HOME");
    EXPECT_EQ(windows, home.path() + "/nodalyx");
}

// The rule itself is ProgramDir's test; here the program passes its own folder and --dir.
TEST(CliProgramDir, ACopiedInstallationKeepsItsLocationsBesideTheProgram) {
    TempDir t;
    ASSERT_TRUE(QDir().mkpath(t.file("with")));
    ASSERT_TRUE(QFile::copy(kCli, t.file("with/nodalyx-cli")));
    t.write("with/Site.fgr", "");
    EXPECT_EQ(runAt(t.file("with/nodalyx-cli"), t.file("home"), {"where"}).out,
              t.file("with") + "\n");
    // --dir behind the command wins.
    EXPECT_EQ(
        runAt(t.file("with/nodalyx-cli"), t.file("home"), {"where", "--dir", t.file("d")}).out,
        t.file("d") + "\n");
}

TEST(CliProgramDir, OptionMistakesAreUsageErrors) {
    TempDir home;
    const std::pair<QStringList, const char*> cases[] = {
        {{"--bogus", "where"}, "unknown option '--bogus'"},
        {{"where", "--dir"}, "--dir needs a directory"},
        {{"--dir=", "where"}, "--dir needs a directory"},
        {{"where", "extra"}, "where takes no arguments"},
        {{}, "no command given"}};
    for (const auto& [args, error] : cases) {
        SCOPED_TRACE(args.join(' ').toStdString());
        const CliRun run = runAt(kCli, home.path(), args);
        EXPECT_EQ(run.exit, 2);
        EXPECT_EQ(run.out, QString());
        EXPECT_EQ(run.err, QString("nodalyx-cli: %1\nTry 'nodalyx-cli --help'.\n").arg(error));
    }
    const CliRun help = runAt(kCli, home.path(), {"locations", "--help"});
    EXPECT_EQ(help.exit, 0);
    for (const char* line : {"  where  ", "--dir DIR", "--trace", "--yes"})
        EXPECT_TRUE(help.out.contains(line)) << line;
    EXPECT_EQ(runAt(kCli, home.path(), {"--version"}).out,
              "nodalyx-cli " NODALYX_VERSION_STRING "\n");
}
