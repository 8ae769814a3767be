// The one wait of the exchanges: how it ends, a second wait inside it, and the owner going away
// (deleted at once, or by deleteLater) while it runs.
#include "WaitLoop.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QPointer>
#include <QTimer>
#include <gtest/gtest.h>

using namespace nodalyx;

namespace {

// An owner as the link, the transfer component and the unit port are: a flag its slots set,
// a wake() behind it, and the deferred delete held while a wait runs.
class Owner : public QObject {
public:
    WaitLoop waits{this};
    bool done = false;
    bool lost = false;

    void set(bool& flag) {
        flag = true;
        waits.wake();
    }

protected:
    bool event(QEvent* e) override { return waits.holdDeferredDelete(e) || QObject::event(e); }
};

const char* nameOf(WaitResult r) {
    switch (r) {
    case WaitResult::Met:
        return "Met";
    case WaitResult::TimedOut:
        return "TimedOut";
    case WaitResult::Lost:
        return "Lost";
    case WaitResult::Refused:
        return "Refused";
    case WaitResult::Deleting:
        return "Deleting";
    case WaitResult::Destroyed:
        return "Destroyed";
    case WaitResult::Ending:
        return "Ending";
    }
    return "?";
}

} // namespace

TEST(WaitLoopTest, EndsOnTheConditionTheLossOrTheDeadline) {
    enum class Event { None, Done, Lost, DoneAndLost };
    const struct {
        const char* what;
        bool doneAtStart;
        Event event; // set 30 ms into the wait
        int timeoutMs;
        WaitResult expected;
        int atLeastMs; // the wait took at least this long ...
        int belowMs;   // ... and less than this
    } rows[] = {
        {"already met: no loop", true, Event::None, 2000, WaitResult::Met, 0, 100},
        {"met when woken", false, Event::Done, 2000, WaitResult::Met, 25, 1000},
        {"the connection goes", false, Event::Lost, 2000, WaitResult::Lost, 25, 1000},
        {"met counts before lost", false, Event::DoneAndLost, 2000, WaitResult::Met, 25, 1000},
        {"nothing comes", false, Event::None, 120, WaitResult::TimedOut, 120, 1000},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        Owner owner;
        owner.done = row.doneAtStart;
        QTimer::singleShot(30, &owner, [&owner, &row] {
            if (row.event == Event::Done || row.event == Event::DoneAndLost)
                owner.done = true;
            if (row.event == Event::Lost || row.event == Event::DoneAndLost)
                owner.lost = true;
            owner.waits.wake();
        });
        QElapsedTimer clock;
        clock.start();
        const WaitResult r = owner.waits.waitFor([&owner] { return owner.done; }, row.timeoutMs,
                                                 [&owner] { return owner.lost; });
        const qint64 took = clock.elapsed();
        EXPECT_STREQ(nameOf(r), nameOf(row.expected));
        EXPECT_GE(took, row.atLeastMs);
        EXPECT_LT(took, row.belowMs);
        EXPECT_FALSE(owner.waits.isWaiting());
    }
}

TEST(WaitLoopTest, WithoutALossConditionALostConnectionDoesNotEndTheWait) {
    Owner owner;
    QTimer::singleShot(10, &owner, [&owner] { owner.set(owner.lost); });
    QTimer::singleShot(60, &owner, [&owner] { owner.set(owner.done); });
    EXPECT_EQ(owner.waits.waitFor([&owner] { return owner.done; }, 2000), WaitResult::Met);
}

TEST(WaitLoopTest, AMovedDeadlineHoldsForTheRunningWait) {
    // A reply that has begun gets the time to arrive whole: the deadline moves during the wait.
    Owner owner;
    QTimer::singleShot(
        10, &owner, [&owner] { owner.waits.setDeadline(QDeadlineTimer(400, Qt::PreciseTimer)); });
    QTimer::singleShot(150, &owner, [&owner] { owner.set(owner.done); });
    EXPECT_EQ(owner.waits.waitFor([&owner] { return owner.done; }, 50), WaitResult::Met);

    // Brought forward, it ends the wait early.
    owner.done = false;
    QTimer::singleShot(10, &owner,
                       [&owner] { owner.waits.setDeadline(QDeadlineTimer(0, Qt::PreciseTimer)); });
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(owner.waits.waitFor([&owner] { return owner.done; }, 5000), WaitResult::TimedOut);
    EXPECT_LT(clock.elapsed(), 1000);
}

TEST(WaitLoopTest, ASecondWaitWhileOneRunsIsRefusedWithoutALoop) {
    Owner owner;
    WaitResult inner = WaitResult::Met;
    int innerAsked = 0;
    qint64 innerTook = -1;
    QTimer::singleShot(10, &owner, [&] {
        QElapsedTimer clock;
        clock.start();
        inner = owner.waits.waitFor(
            [&innerAsked] {
                ++innerAsked;
                return false;
            },
            500);
        innerTook = clock.elapsed();
        owner.set(owner.done);
    });
    EXPECT_EQ(owner.waits.waitFor([&owner] { return owner.done; }, 2000), WaitResult::Met);
    EXPECT_EQ(inner, WaitResult::Refused);
    EXPECT_EQ(innerAsked, 0);
    EXPECT_GE(innerTook, 0);
    EXPECT_LT(innerTook, 100);
    // Once the first has ended, the next wait runs.
    EXPECT_EQ(owner.waits.waitFor([] { return false; }, 10), WaitResult::TimedOut);
}

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
    const WaitResult r = owner->waits.waitFor(
        [&] {
            if (deleted) {
                ++askedAfterDelete;
                return false;
            }
            return owner->done;
        },
        2000, [&] { return !deleted && owner->lost; });
    EXPECT_EQ(r, WaitResult::Destroyed);
    EXPECT_EQ(askedAfterDelete, 0);
    EXPECT_LT(clock.elapsed(), 1000); // the deletion ended the wait, not the deadline
}

TEST(WaitLoopTest, ADeferredDeleteDuringTheWaitIsHeldUntilTheWaitHasReturned) {
    QPointer<Owner> owner = new Owner;
    QTimer::singleShot(20, owner, [&owner] { owner->deleteLater(); });
    QElapsedTimer clock;
    clock.start();
    const WaitResult r = owner->waits.waitFor([] { return false; }, 2000);
    EXPECT_EQ(r, WaitResult::Deleting);
    EXPECT_LT(clock.elapsed(), 1000);
    ASSERT_FALSE(owner.isNull()); // the caller may still read its results
    EXPECT_FALSE(owner->waits.isWaiting());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(owner.isNull());

    // Outside a wait a deferred delete is not held.
    owner = new Owner;
    owner->deleteLater();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(owner.isNull());
}
