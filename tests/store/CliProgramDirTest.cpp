// nodalyx-cli finds the program directory by the rule the windows use, and says which it is.
#include "CliProcess.h"
#include "ProgramDir.h"
#include "TempDir.h"

#include <QDir>
#include <QFile>

using namespace nodalyx::test;

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
