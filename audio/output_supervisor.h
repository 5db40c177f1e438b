#pragma once
// Keeps the sound output playing. One thread of its own owns the output
// device and makes every call on it: it opens the device, starts the stream
// when asked, notices when the stream is lost (its device gone, its sound
// server ended) and opens the default output device again in the background
// until one is there. The main thread only posts requests and never waits
// for the device, except for a bounded wait on the very first opening.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

#include "audio/output_device.h"

namespace feltrix {

struct SupervisorTiming {
    std::chrono::milliseconds poll{100};     // how often the running stream is looked at
    // No block mixed for this long: the stream is lost although it has not
    // ended (a stream that ends is noticed at the next look). Under heavy
    // load a sound server can hold a healthy stream for most of a second.
    std::chrono::milliseconds silence{2000};
    std::chrono::milliseconds retry{1000};   // between attempts to open a device again
    int rescanEvery = 2;                     // every this many attempts the device list is made afresh
};

class OutputSupervisor {
public:
    OutputSupervisor(std::unique_ptr<OutputDevice> device, ChannelTable& table, SupervisorTiming timing = {});
    // Stops the thread, which closes the device.
    ~OutputSupervisor();
    OutputSupervisor(const OutputSupervisor&) = delete;
    OutputSupervisor& operator=(const OutputSupervisor&) = delete;

    // Starts the thread, which tries to open the device at once, and waits
    // up to `bound` for that attempt: its result (code 0, or the library's
    // error code and the console line that explains it), or code -1 when it
    // takes longer (the thread carries on).
    DeviceResult open(std::chrono::milliseconds bound);
    // Asks for the stream to play from now on; returns at once.
    void start();
    // Whether a stream is playing now.
    bool playing() const { return playing_.load(std::memory_order_acquire); }

private:
    void run();
    // One look at the device while playing is wanted (supervisor thread).
    void tend(std::chrono::steady_clock::time_point now);
    void lose(const std::string& reason, std::chrono::steady_clock::time_point now);

    std::unique_ptr<OutputDevice> device_;
    ChannelTable& table_;
    const SupervisorTiming timing_;
    std::thread thread_;

    std::mutex mutex_;
    std::condition_variable changed_;
    bool startWanted_ = false;  // under mutex_
    bool quit_ = false;
    bool firstDone_ = false;
    DeviceResult firstResult_;
    std::atomic<bool> playing_{false};

    // Supervisor thread only.
    bool open_ = false;
    bool running_ = false;
    bool announceResume_ = false;
    bool startFailureShown_ = false;
    int attempts_ = 0;
    std::chrono::steady_clock::time_point nextAttempt_{};
    std::uint64_t lastBlocks_ = 0;
    std::chrono::steady_clock::time_point lastMove_{};
};

}  // namespace feltrix
