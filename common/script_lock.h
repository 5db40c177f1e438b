#pragma once
// The script lock: brackets every call into the script from the host.
//
// It behaves like a semaphore of count one, with two additions that keep the
// program from deadlocking itself:
//  - the thread that holds it may take it again (a script function that raises
//    a callback while a callback is already running, e.g. setting a check box
//    from inside the GUI callback), and
//  - a modal window (message box, file dialog) opened by a script function
//    gives the lock back for the window's lifetime if the calling thread holds
//    it, so that update cycles dispatched by the modal loop can run meanwhile.
#include <condition_variable>
#include <mutex>
#include <thread>

namespace feltrix {

class ScriptLock {
public:
    void acquire();
    void release();
    bool heldByCurrentThread() const;

    // Gives the lock up completely (whatever the nesting depth) if the current
    // thread holds it and returns that depth; returns 0 and changes nothing
    // otherwise.
    int releaseAllIfHeld();
    // Takes the lock back with the depth releaseAllIfHeld returned (0: nothing).
    void reacquire(int depth);

private:
    mutable std::mutex mutex_;
    std::condition_variable freed_;
    std::thread::id owner_;
    int depth_ = 0;
};

// The process's script lock.
ScriptLock& scriptLock();

// Holds the script lock for a scope.
class ScriptLockGuard {
public:
    explicit ScriptLockGuard(ScriptLock& lock) : lock_(lock) { lock_.acquire(); }
    ~ScriptLockGuard() { lock_.release(); }
    ScriptLockGuard(const ScriptLockGuard&) = delete;
    ScriptLockGuard& operator=(const ScriptLockGuard&) = delete;

private:
    ScriptLock& lock_;
};

// Gives the script lock back for a modal window's lifetime when the calling
// thread holds it, and leaves it alone when it does not. Destroy it (leave its
// scope) before raising a Lua error, so the error unwinds with the lock held
// as it was on entry.
class ModalLockRelease {
public:
    explicit ModalLockRelease(ScriptLock& lock = scriptLock())
        : lock_(lock), depth_(lock.releaseAllIfHeld()) {}
    ~ModalLockRelease() { lock_.reacquire(depth_); }
    ModalLockRelease(const ModalLockRelease&) = delete;
    ModalLockRelease& operator=(const ModalLockRelease&) = delete;

private:
    ScriptLock& lock_;
    int depth_;
};

}  // namespace feltrix
