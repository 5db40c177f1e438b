#include "common/script_lock.h"

namespace feltrix {

void ScriptLock::acquire() {
    std::unique_lock<std::mutex> guard(mutex_);
    const auto self = std::this_thread::get_id();
    if (depth_ > 0 && owner_ == self) {
        ++depth_;
        return;
    }
    freed_.wait(guard, [this] { return depth_ == 0; });
    owner_ = self;
    depth_ = 1;
}

void ScriptLock::release() {
    std::lock_guard<std::mutex> guard(mutex_);
    if (depth_ == 0 || owner_ != std::this_thread::get_id()) return;
    if (--depth_ == 0) {
        owner_ = std::thread::id();
        freed_.notify_one();
    }
}

bool ScriptLock::heldByCurrentThread() const {
    std::lock_guard<std::mutex> guard(mutex_);
    return depth_ > 0 && owner_ == std::this_thread::get_id();
}

int ScriptLock::releaseAllIfHeld() {
    std::lock_guard<std::mutex> guard(mutex_);
    if (depth_ == 0 || owner_ != std::this_thread::get_id()) return 0;
    const int depth = depth_;
    depth_ = 0;
    owner_ = std::thread::id();
    freed_.notify_one();
    return depth;
}

void ScriptLock::reacquire(int depth) {
    if (depth <= 0) return;
    std::unique_lock<std::mutex> guard(mutex_);
    freed_.wait(guard, [this] { return depth_ == 0; });
    owner_ = std::this_thread::get_id();
    depth_ = depth;
}

ScriptLock& scriptLock() {
    // Never destroyed: exit paths may run while a callback holds it.
    static ScriptLock* lock = new ScriptLock;
    return *lock;
}

}  // namespace feltrix
