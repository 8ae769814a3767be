// nodalyx-config answers --help, --version and mistakes without a display.
#include <QProcess>
#include <QProcessEnvironment>
#include <gtest/gtest.h>

namespace {

struct ProgramRun {
    int exit = -1;
    QString out, err;
};

ProgramRun runWithoutDisplay(const QStringList& args) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("QT_QPA_PLATFORM");
    env.remove("WAYLAND_DISPLAY");
    env.insert("DISPLAY", ""); // a window would fail here: no display to open
    QProcess process;
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(NODALYX_CONFIG_PATH), args);
    if (!process.waitForFinished(20000))
        process.kill();
    process.waitForFinished();
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromLocal8Bit(process.readAllStandardOutput()),
            QString::fromLocal8Bit(process.readAllStandardError())};
}

} // namespace

TEST(CliConfigProgram, HelpVersionAndMistakesNeedNoDisplay) {
    const ProgramRun help = runWithoutDisplay({"/s", "--help"});
    EXPECT_EQ(help.exit, 0) << help.err.toStdString();
    EXPECT_TRUE(help.out.startsWith("Usage: nodalyx-config [options] [/S]\n"));

    const ProgramRun version = runWithoutDisplay({"--version"});
    EXPECT_EQ(version.exit, 0) << version.err.toStdString();
    EXPECT_EQ(version.out, QStringLiteral("nodalyx-config " NODALYX_VERSION_STRING "\n"));

    const ProgramRun wrong = runWithoutDisplay({"--dir", "/tmp", "--sevice"});
    EXPECT_EQ(wrong.exit, 2);
    EXPECT_EQ(wrong.out, QString());
    EXPECT_EQ(wrong.err, "nodalyx-config: unknown option '--sevice'\n"
                         "Try 'nodalyx-config --help'.\n");
}
