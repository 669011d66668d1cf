// Synchronisation objects: recursive critical sections, lock time-outs, events (manual, auto,
// named), mutexes and the scoped CSingleLock.
#include "Framework.h"
#include <gtest/gtest.h>
#include <thread>

namespace {

// Runs fn on another thread and returns its result.
template <class Fn>
BOOL OnOtherThread(Fn fn)
{
    BOOL result = FALSE;
    std::thread other([&] { result = fn(); });
    other.join();
    return result;
}

TEST(CriticalSection, TheOwnerMayLockAgainAndOthersWaitUntilTheLastUnlock)
{
    CCriticalSection cs;
    ASSERT_TRUE(cs.Lock());
    ASSERT_TRUE(cs.Lock());   // recursive
    auto tryOther = [&cs] {
        BOOL got = cs.Lock(50);
        if (got)
            cs.Unlock();
        return got;
    };
    EXPECT_FALSE(OnOtherThread(tryOther));
    cs.Unlock();
    EXPECT_FALSE(OnOtherThread(tryOther));   // still held once
    cs.Unlock();
    EXPECT_TRUE(OnOtherThread(tryOther));
}

TEST(SingleLock, ItReleasesOnScopeExitAndReportsItsState)
{
    CCriticalSection cs;
    {
        CSingleLock lock(&cs, TRUE);
        EXPECT_TRUE(lock.IsLocked());
        EXPECT_TRUE(lock.Lock());   // already held through this lock: no second count
        EXPECT_FALSE(OnOtherThread([&cs] { return cs.Lock(20); }));
    }
    EXPECT_TRUE(OnOtherThread([&cs] {
        BOOL got = cs.Lock(20);
        if (got)
            cs.Unlock();
        return got;
    }));
    CSingleLock later(&cs);
    EXPECT_FALSE(later.IsLocked());
    EXPECT_FALSE(later.Unlock());
}

TEST(SingleLock, ATimeOutLeavesItUnlocked)
{
    CEvent never(FALSE, TRUE);
    CSingleLock lock(&never);
    EXPECT_FALSE(lock.Lock(30));
    EXPECT_FALSE(lock.IsLocked());
    never.SetEvent();
    EXPECT_TRUE(lock.Lock(0));
    EXPECT_TRUE(lock.IsLocked());
}

TEST(Event, ManualAndAutoResetBehaveDifferently)
{
    CEvent manual(FALSE, TRUE);
    CEvent autoReset(FALSE, FALSE);
    struct Row { CEvent* event; BOOL secondWait; const char* name; };
    const Row rows[] = { { &manual, TRUE, "manual stays set" }, { &autoReset, FALSE, "auto resets after one wait" } };
    for (const Row& row : rows) {
        EXPECT_FALSE(row.event->Lock(0)) << row.name;
        row.event->SetEvent();
        EXPECT_TRUE(row.event->Lock(0)) << row.name;
        EXPECT_EQ(row.event->Lock(0), row.secondWait) << row.name;
        row.event->ResetEvent();
        EXPECT_FALSE(row.event->Lock(0)) << row.name;
    }
}

TEST(Event, InitiallyOwnedMeansSignalled)
{
    CEvent set(TRUE, TRUE);
    EXPECT_TRUE(set.Lock(0));
}

TEST(Event, TheSameNameOpensTheSameEvent)
{
    CEvent first(FALSE, TRUE, L"FwSyncTest.Event");
    CEvent second(FALSE, TRUE, L"FwSyncTest.Event");
    EXPECT_FALSE(second.Lock(0));
    first.SetEvent();
    EXPECT_TRUE(second.Lock(0));
}

TEST(Mutex, AnAbandonedMutexCanStillBeTaken)
{
    CMutex mutex;
    EXPECT_TRUE(OnOtherThread([&mutex] { return mutex.Lock(0); }));   // the thread ends holding it
    EXPECT_TRUE(mutex.Lock(1000));
    EXPECT_TRUE(mutex.Unlock());
}

TEST(Mutex, AnOwnedMutexKeepsOthersOut)
{
    CMutex mutex(TRUE);
    EXPECT_FALSE(OnOtherThread([&mutex] { return mutex.Lock(20); }));
    mutex.Unlock();
    EXPECT_TRUE(OnOtherThread([&mutex] {
        BOOL got = mutex.Lock(1000);
        if (got)
            mutex.Unlock();
        return got;
    }));
}

}
