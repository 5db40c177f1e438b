// The script lock: nested entry by its holder, exclusion of other threads,
// and giving it back for the lifetime of a modal window.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "common/script_lock.h"
#include "tests/support/test_support.h"

using feltrix::ModalLockRelease;
using feltrix::ScriptLock;
using feltrix::ScriptLockGuard;
using feltrix::testing::waitFor;

TEST(ScriptLock, HolderMayEnterAgainAndOthersWaitForTheLastRelease) {
    ScriptLock lock;
    lock.acquire();
    lock.acquire();  // a nested callback on the same thread must not deadlock
    std::atomic<bool> otherGotIt{false};
    std::thread other([&] {
        ScriptLockGuard held(lock);
        otherGotIt = true;
    });
    lock.release();
    // Still held once: the other thread must still be waiting.
    EXPECT_FALSE(otherGotIt.load());
    EXPECT_TRUE(lock.heldByCurrentThread());
    lock.release();
    EXPECT_TRUE(waitFor([&] { return otherGotIt.load(); }));
    other.join();
    EXPECT_FALSE(lock.heldByCurrentThread());
}

TEST(ScriptLock, ModalWindowsGiveTheLockBackOnlyWhenTheCallerHoldsIt) {
    ScriptLock lock;
    {
        // Not held (the init script): the modal window leaves it alone.
        ModalLockRelease modal(lock);
        EXPECT_FALSE(lock.heldByCurrentThread());
    }
    EXPECT_FALSE(lock.heldByCurrentThread());

    lock.acquire();
    lock.acquire();
    {
        ModalLockRelease modal(lock);
        EXPECT_FALSE(lock.heldByCurrentThread());
        // Another thread (the update cycle, in the real program a nested
        // timer tick) can take and give back the lock meanwhile.
        std::thread cycle([&] { ScriptLockGuard held(lock); });
        cycle.join();
    }
    // Taken back with the same depth as before.
    EXPECT_TRUE(lock.heldByCurrentThread());
    lock.release();
    EXPECT_TRUE(lock.heldByCurrentThread());
    lock.release();
    EXPECT_FALSE(lock.heldByCurrentThread());
}
