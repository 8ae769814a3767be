// Process signals reach the event loop as a Qt signal, once or every time as asked.
#include "SignalPipe.h"

#include <QCoreApplication>
#include <QSignalSpy>
#include <gtest/gtest.h>
#include <thread>

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

#elif defined(Q_OS_WIN)
#include <windows.h>

using nodalyx::SignalPipe;

// The console's handler is called here as the console would call it, on a thread of its own.
namespace {
bool consoleSends(DWORD type) {
    bool handled = false;
    std::thread([&] { handled = nodalyx::detail::onConsoleControl(type); }).join();
    return handled;
}
} // namespace

TEST(SignalPipes, EachCtrlCOrCtrlBreakIsReported) {
    SignalPipe pipe(SignalPipe::Watch::InterruptAndTerminate);
    ASSERT_TRUE(pipe.isWatching());
    QSignalSpy received(&pipe, &SignalPipe::received);
    for (DWORD type : {CTRL_C_EVENT, CTRL_BREAK_EVENT, CTRL_C_EVENT}) {
        const auto before = received.count();
        EXPECT_TRUE(consoleSends(type)) << type;
        EXPECT_TRUE(received.wait(2000)) << type;
        EXPECT_EQ(received.count(), before + 1) << type;
    }
    EXPECT_FALSE(consoleSends(CTRL_CLOSE_EVENT)); // Windows ends the program
}

// After the first Ctrl-C the handler declines, and Windows ends the program at once.
TEST(SignalPipes, OnlyTheFirstInterruptIsReported) {
    SignalPipe pipe(SignalPipe::Watch::InterruptOnce);
    QSignalSpy received(&pipe, &SignalPipe::received);
    EXPECT_TRUE(consoleSends(CTRL_C_EVENT));
    EXPECT_TRUE(received.wait(2000));
    EXPECT_FALSE(consoleSends(CTRL_C_EVENT));
    QCoreApplication::processEvents();
    EXPECT_EQ(received.count(), 1);
}

#endif
