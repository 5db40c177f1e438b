#include "osc/host_resolver.h"

#include <exception>
#include <thread>

namespace feltrix {

HostResolver::Answer HostResolver::lookUp(const std::string& host) {
    Answer answer;
    if (parseNumericAddress(host.c_str(), answer.address)) {
        answer.state = State::resolved;
        return answer;
    }
    std::lock_guard<std::mutex> lock(mutex_);
    auto [entry, added] = entries_.try_emplace(host);
    Entry& known = entry->second;
    const bool retry = known.answer.state == State::failed &&
                       std::chrono::steady_clock::now() - known.failedAt >= kRetryAfterFailure;
    if (added || retry) {
        known.answer = Answer{};
        if (startThreadLocked()) {
            queue_.push_back(host);
            wake_.notify_one();
        } else {
            known.answer.state = State::failed;
            known.answer.error = "no thread for the name service";
            known.failedAt = std::chrono::steady_clock::now();
        }
    }
    return known.answer;
}

bool HostResolver::startThreadLocked() {
    if (threadStarted_) return true;
    try {
        // Detached: a name service may keep it waiting past the end of the program.
        std::thread([this] { resolveForever(); }).detach();
        threadStarted_ = true;
    } catch (const std::exception&) {
        // No thread (the system's limit): the name counts as not found for now.
    }
    return threadStarted_;
}

void HostResolver::resolveForever() {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return !queue_.empty(); });
        const std::string host = std::move(queue_.front());
        queue_.pop_front();
        lock.unlock();
        Answer answer;
        answer.state = resolveHostName(host.c_str(), answer.address, answer.error) ? State::resolved : State::failed;
        lock.lock();
        Entry& entry = entries_[host];
        entry.answer = std::move(answer);
        entry.failedAt = std::chrono::steady_clock::now();
    }
}

HostResolver& hostResolver() {
    static HostResolver* const resolver = new HostResolver;
    return *resolver;
}

}  // namespace feltrix
