// The one wait of the exchanges: how it ends, a second wait inside it, the owner deleted.
#include "WaitLoop.h"

#include <QElapsedTimer>
#include <QTimer>
#include <gtest/gtest.h>

using namespace nodalyx;

namespace {
// An owner as the link and the transfer component are: flags its slots set, then a wake().
struct Owner : QObject {
    WaitLoop waits{this};
    bool done = false;
    bool lost = false;
};
} // namespace

// Met, Lost and TimedOut on their own: every link test that gets a reply, a hang-up or none.
TEST(WaitLoopTest, EndsOnTheConditionTheLossOrTheDeadline) {
    const struct {
        const char* what;
        bool doneAtStart, doneLater, lostLater; // later: 30 ms into the wait
        bool lossCondition;
        int timeoutMs;
        WaitResult expected;
        int atLeastMs, belowMs; // how long the wait took
    } rows[] = {
        {"already met: no loop", true, false, false, true, 2000, WaitResult::Met, 0, 100},
        {"met counts before lost", false, true, true, true, 2000, WaitResult::Met, 25, 1000},
        {"no loss condition", false, false, true, false, 120, WaitResult::TimedOut, 120, 1000},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        Owner owner;
        owner.done = row.doneAtStart;
        QTimer::singleShot(30, &owner, [&owner, &row] {
            owner.done = owner.done || row.doneLater;
            owner.lost = row.lostLater;
            owner.waits.wake();
        });
        QElapsedTimer clock;
        clock.start();
        const auto lost = [&owner] { return owner.lost; };
        const WaitResult r =
            owner.waits.waitFor([&owner] { return owner.done; }, row.timeoutMs,
                                row.lossCondition ? std::function<bool()>(lost) : nullptr);
        EXPECT_EQ(r, row.expected);
        EXPECT_GE(clock.elapsed(), row.atLeastMs);
        EXPECT_LT(clock.elapsed(), row.belowMs);
        EXPECT_FALSE(owner.waits.isWaiting());
    }
}

TEST(WaitLoopTest, ASecondWaitWhileOneRunsIsRefusedWithoutALoop) {
    Owner owner;
    WaitResult inner = WaitResult::Met;
    int innerAsked = 0;
    QTimer::singleShot(10, &owner, [&] {
        inner = owner.waits.waitFor([&] { return ++innerAsked < 0; }, 500);
        owner.done = true;
        owner.waits.wake();
    });
    EXPECT_EQ(owner.waits.waitFor([&] { return owner.done; }, 2000), WaitResult::Met);
    EXPECT_EQ(inner, WaitResult::Refused);
    EXPECT_EQ(innerAsked, 0);
    EXPECT_EQ(owner.waits.waitFor([] { return false; }, 10), WaitResult::TimedOut); // runs again
}

// A direct delete from a slot ends the wait at once, and nothing of the owner is asked after.
TEST(WaitLoopTest, AnOwnerDeletedDuringTheWaitAnswersDestroyedAndIsNotTouched) {
    auto* owner = new Owner;
    bool deleted = false;
    int askedAfterDelete = 0;
    QTimer::singleShot(20, [&] {
        delete owner;
        deleted = true;
    });
    QElapsedTimer clock;
    clock.start();
    const auto done = [&] { return deleted ? ++askedAfterDelete < 0 : owner->done; };
    EXPECT_EQ(owner->waits.waitFor(done, 2000, [&] { return !deleted && owner->lost; }),
              WaitResult::Destroyed);
    EXPECT_EQ(askedAfterDelete, 0);
    EXPECT_LT(clock.elapsed(), 1000);
}
