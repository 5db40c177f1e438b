// The script lock: nested entry by its holder, exclusion of others, given back while a modal window is open.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "common/script_lock.h"
#include "tests/support/test_support.h"

using namespace feltrix;
using feltrix::testing::waitFor;

TEST(ScriptLock, HolderMayEnterAgainAndOthersWaitForTheLastRelease) {
    ScriptLock lock;
    lock.acquire();
    lock.acquire();  // a nested callback on the same thread must not deadlock
    std::atomic<bool> otherGotIt{false};
    std::thread other([&] { ScriptLockGuard held(lock); otherGotIt = true; });
    lock.release();
    EXPECT_FALSE(otherGotIt.load()) << "still held once: the other thread must wait";
    EXPECT_TRUE(lock.heldByCurrentThread());
    lock.release();
    EXPECT_TRUE(waitFor([&] { return otherGotIt.load(); }));
    other.join();
    EXPECT_FALSE(lock.heldByCurrentThread());
}

TEST(ScriptLock, ModalWindowsGiveTheLockBackOnlyWhenTheCallerHoldsIt) {
    ScriptLock lock;
    { ModalLockRelease modal(lock); }  // not held (the init script): left alone
    EXPECT_FALSE(lock.heldByCurrentThread());
    lock.acquire();
    lock.acquire();
    {
        ModalLockRelease modal(lock);
        EXPECT_FALSE(lock.heldByCurrentThread());
        // Another thread (the update cycle) can take and give back the lock meanwhile.
        std::thread cycle([&] { ScriptLockGuard held(lock); });
        cycle.join();
    }
    lock.release();  // taken back with the same depth as before
    EXPECT_TRUE(lock.heldByCurrentThread());
    lock.release();
    EXPECT_FALSE(lock.heldByCurrentThread());
}
