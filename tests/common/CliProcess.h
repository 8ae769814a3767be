// Runs nodalyx-cli as its own process while this process's event loop keeps running, so a
// simulator living in the test answers it. Header-only: NODALYX_CLI_PATH is defined per test.
#pragma once

#include <QEventLoop>
#include <QHash>
#include <QProcess>
#include <QRegularExpression>
#include <QStringList>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

#ifdef Q_OS_UNIX
#include <csignal>
#endif

namespace nodalyx::test {

// Ctrl-C to a running program. These suites run on Linux only; where there are no signals
// the process is left alone and the test's own check fails.
inline void sendInterrupt(QProcess& process) {
#ifdef Q_OS_UNIX
    ::kill(pid_t(process.processId()), SIGINT);
#else
    Q_UNUSED(process);
#endif
}

struct CliRun {
    int exit = -1; // -1: not started, crashed or still running after 30 s (then killed)
    QString out, err;
};

// `program ARGS...`, no terminal on stdin, env added; started is called once the process runs.
inline CliRun runProgram(const QString& program, const QStringList& args,
                         const QHash<QString, QString>& env = {},
                         const std::function<void(QProcess&)>& started = {}) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (auto it = env.begin(); it != env.end(); ++it)
        environment.insert(it.key(), it.value());
    process.setProcessEnvironment(environment);
    QEventLoop loop;
    QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
    QTimer::singleShot(30000, &loop, &QEventLoop::quit);
    process.setStandardInputFile(QProcess::nullDevice());
    process.start(program, args);
    if (started && process.waitForStarted())
        started(process);
    if (process.state() != QProcess::NotRunning)
        loop.exec();
    if (process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished();
        return {};
    }
    if (process.error() == QProcess::FailedToStart)
        return {};
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

// `nodalyx-cli --dir DIR ARGS...`.
inline CliRun runCli(const QString& dir, const QStringList& args,
                     const std::function<void(QProcess&)>& started = {},
                     const QHash<QString, QString>& env = {}) {
    return runProgram(QStringLiteral(NODALYX_CLI_PATH), QStringList{"--dir", dir} + args, env,
                      started);
}

// The exit status, and stdout and stderr against regular expressions.
inline void expectCli(const CliRun& r, int exit, const char* out, const char* err) {
    EXPECT_EQ(r.exit, exit) << r.err.toStdString();
    EXPECT_TRUE(QRegularExpression(QString::fromUtf8(out)).match(r.out).hasMatch())
        << r.out.toStdString();
    EXPECT_TRUE(QRegularExpression(QString::fromUtf8(err)).match(r.err).hasMatch())
        << r.err.toStdString();
}

// A failing command: its exit status, nothing on stdout, stderr holding the text.
struct CliFailure {
    QStringList args;
    int exit;
    const char* err;
};

template <class Run> void expectFailures(std::initializer_list<CliFailure> rows, const Run& run) {
    for (const CliFailure& row : rows) {
        SCOPED_TRACE(row.args.join(' ').toStdString());
        const CliRun r = run(row.args);
        EXPECT_EQ(r.exit, row.exit);
        EXPECT_EQ(r.out, QString());
        EXPECT_TRUE(r.err.contains(QString::fromUtf8(row.err))) << r.err.toStdString();
    }
}

} // namespace nodalyx::test
