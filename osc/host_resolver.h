#pragma once
// Host names to addresses without making the caller wait: numeric addresses
// are parsed at once, names go to a resolver thread of their own the first
// time they are asked for, and their answers are kept. A name that could not
// be resolved is tried again when asked for kRetryAfterFailure later (the
// network may have come back).
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <string>
#include <unordered_map>

#include "osc/udp_socket.h"

namespace feltrix {

class HostResolver {
public:
    static constexpr std::chrono::seconds kRetryAfterFailure{10};

    enum class State { resolving, resolved, failed };
    struct Answer {
        State state = State::resolving;
        SocketAddress address{};
        std::string error{};  // the name service's text when failed
    };

    // Never blocks for the name service (the lock it takes is held by the
    // resolver thread only to file an answer).
    Answer lookUp(const std::string& host);

private:
    struct Entry {
        Answer answer;
        std::chrono::steady_clock::time_point failedAt{};
    };
    bool startThreadLocked();
    void resolveForever();

    std::mutex mutex_;
    std::condition_variable wake_;
    std::unordered_map<std::string, Entry> entries_;  // under mutex_
    std::deque<std::string> queue_;                   // under mutex_
    bool threadStarted_ = false;                      // under mutex_
};

// The process's resolver. Never destroyed: its thread may still wait for a
// name service when the process ends.
HostResolver& hostResolver();

}  // namespace feltrix
