// Process signals reach the event loop as a Qt signal, once or every time as asked.
#include "SignalPipe.h"

#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

#ifdef Q_OS_UNIX
#include <csignal>
#include <unistd.h>

using nodalyx::SignalPipe;

namespace {
bool hasDefaultAction(int number) {
    struct sigaction action {};
    ::sigaction(number, nullptr, &action);
    return action.sa_handler == SIG_DFL;
}

struct SignalPipes : ::testing::Test {
    void TearDown() override { // the test program must not outlive a Ctrl-C by accident
        std::signal(SIGINT, SIG_DFL);
        std::signal(SIGTERM, SIG_DFL);
    }
};
} // namespace

TEST_F(SignalPipes, EachInterruptOrStopRequestIsReported) {
    SignalPipe pipe(SignalPipe::Watch::InterruptAndTerminate);
    QSignalSpy received(&pipe, &SignalPipe::received);
    for (int number : {SIGINT, SIGTERM, SIGINT}) {
        const auto before = received.count();
        std::raise(number); // handled: the test goes on
        EXPECT_TRUE(received.wait(2000)) << number;
        EXPECT_EQ(received.count(), before + 1) << number;
    }
}

// After the first Ctrl-C a second one ends the program at once.
TEST_F(SignalPipes, OnlyTheFirstInterruptIsReported) {
    SignalPipe pipe(SignalPipe::Watch::InterruptOnce);
    QSignalSpy received(&pipe, &SignalPipe::received);
    EXPECT_FALSE(hasDefaultAction(SIGINT));
    std::raise(SIGINT);
    EXPECT_TRUE(received.wait(2000));
    EXPECT_TRUE(hasDefaultAction(SIGINT));
}

// Two watchers share the process's pipe: one signal is reported once, and the watcher that
// finds the pipe already read does not block the event loop (else the alarm ends the program).
TEST_F(SignalPipes, TwoWatchersReportOneSignalOnce) {
    ::alarm(10);
    SignalPipe first(SignalPipe::Watch::InterruptAndTerminate);
    SignalPipe second(SignalPipe::Watch::InterruptAndTerminate);
    QSignalSpy fromFirst(&first, &SignalPipe::received);
    QSignalSpy fromSecond(&second, &SignalPipe::received);
    std::raise(SIGTERM);
    EXPECT_TRUE(QTest::qWaitFor([&] { return fromFirst.count() + fromSecond.count() > 0; }, 2000));
    QTest::qWait(50);
    EXPECT_EQ(fromFirst.count() + fromSecond.count(), 1);
    ::alarm(0);
}

#endif
