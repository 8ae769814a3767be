// Process signals reach the event loop as a Qt signal, once or every time as asked.
#include "SignalPipe.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

#ifdef Q_OS_UNIX
#include <csignal>

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

#endif
