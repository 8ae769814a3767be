// Runs nodalyx-cli as its own process while this process's event loop keeps running, so a
// simulator living in the test answers it. Header-only: NODALYX_CLI_PATH is defined per test.
#pragma once

#include <QEventLoop>
#include <QProcess>
#include <QRegularExpression>
#include <QStringList>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

namespace nodalyx::test {

struct CliRun {
    int exit = -1; // -1: crashed or still running after 30 s (then killed)
    QString out, err;
};

// `nodalyx-cli --dir DIR ARGS...` with no terminal on stdin; started is called once the
// process is set up (to connect to it, or to signal it later).
inline CliRun runCli(const QString& dir, const QStringList& args,
                     const std::function<void(QProcess&)>& started = {}) {
    QProcess process;
    QEventLoop loop;
    QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
    QTimer::singleShot(30000, &loop, &QEventLoop::quit);
    process.setStandardInputFile(QProcess::nullDevice());
    process.start(QStringLiteral(NODALYX_CLI_PATH), QStringList{"--dir", dir} + args);
    if (started)
        started(process);
    loop.exec();
    CliRun r;
    if (process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished();
        return r;
    }
    r.exit = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    r.out = QString::fromUtf8(process.readAllStandardOutput());
    r.err = QString::fromUtf8(process.readAllStandardError());
    return r;
}

// The exit status, and stdout and stderr against regular expressions.
inline void expectCli(const CliRun& r, int exit, const char* out, const char* err) {
    EXPECT_EQ(r.exit, exit) << r.err.toStdString();
    EXPECT_TRUE(QRegularExpression(QString::fromUtf8(out)).match(r.out).hasMatch())
        << r.out.toStdString();
    EXPECT_TRUE(QRegularExpression(QString::fromUtf8(err)).match(r.err).hasMatch())
        << r.err.toStdString();
}

} // namespace nodalyx::test
