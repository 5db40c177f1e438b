#include "audio/output_supervisor.h"

#include <cstdio>

namespace feltrix {

using Clock = std::chrono::steady_clock;

OutputSupervisor::OutputSupervisor(std::unique_ptr<OutputDevice> device, ChannelTable& table, SupervisorTiming timing)
    : device_(std::move(device)), table_(table), timing_(timing) {}

OutputSupervisor::~OutputSupervisor() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        quit_ = true;
    }
    changed_.notify_all();
    if (thread_.joinable()) thread_.join();
}

DeviceResult OutputSupervisor::open(std::chrono::milliseconds bound) {
    std::unique_lock<std::mutex> lock(mutex_);
    if (!thread_.joinable()) thread_ = std::thread([this] { run(); });
    if (!changed_.wait_for(lock, bound, [this] { return firstDone_; })) {
        DeviceResult late{
            -1, "Sound output: the default output device did not answer in time; trying on in the background.\n"};
        std::fputs(late.message.c_str(), stdout);
        return late;
    }
    return firstResult_;
}

void OutputSupervisor::start() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        startWanted_ = true;
    }
    changed_.notify_all();
}

void OutputSupervisor::run() {
    const DeviceResult first = device_->open(table_, false);
    if (first.code != 0) std::fputs(first.message.c_str(), stdout);
    open_ = first.code == 0;
    // Without a device at start-up the default one is looked for again
    // later, with a fresh device list.
    announceResume_ = !open_;
    nextAttempt_ = Clock::now() + timing_.retry;
    std::unique_lock<std::mutex> lock(mutex_);
    firstDone_ = true;
    firstResult_ = first;
    changed_.notify_all();
    while (!quit_) {
        changed_.wait_for(lock, timing_.poll);
        if (quit_) break;
        if (!startWanted_) continue;
        lock.unlock();
        tend(Clock::now());
        lock.lock();
    }
    lock.unlock();
    device_->close();
    playing_.store(false, std::memory_order_release);
}

void OutputSupervisor::tend(Clock::time_point now) {
    if (!open_ && now >= nextAttempt_) {
        ++attempts_;
        open_ = device_->open(table_, attempts_ % timing_.rescanEvery == 0).code == 0;
        nextAttempt_ = now + timing_.retry;
    }
    if (open_ && !running_) {
        const DeviceResult started = device_->start();
        if (started.code != 0) {
            if (!startFailureShown_) std::fputs(started.message.c_str(), stdout);
            startFailureShown_ = true;
            device_->close();
            open_ = false;
            nextAttempt_ = now + timing_.retry;
            return;
        }
        running_ = true;
        priorityChecked_ = false;
        lastBlocks_ = device_->blocksMixed();
        lastMove_ = now;
        playing_.store(true, std::memory_order_release);
        if (announceResume_) {
            std::printf("Sound output resumed on the default output device (%s).\n", device_->deviceName().c_str());
            announceResume_ = false;
        }
        return;
    }
    if (!running_) return;
    std::string reason = device_->failure();
    const std::uint64_t blocks = device_->blocksMixed();
    if (blocks != lastBlocks_) {
        lastBlocks_ = blocks;
        lastMove_ = now;
        if (!priorityChecked_) {
            // Once per started stream: its callback thread has run by now.
            // A refusal is said once per run.
            priorityChecked_ = true;
            const std::string refusal = device_->settleRealtimePriority();
            if (!refusalShown_) std::fputs(refusal.c_str(), stdout);
            refusalShown_ = refusalShown_ || !refusal.empty();
        }
    } else if (reason.empty() && now - lastMove_ >= timing_.silence) {
        reason = "the device has taken no sound for " + std::to_string(timing_.silence.count()) + " ms";
    }
    if (!reason.empty()) lose(reason, now);
}

void OutputSupervisor::lose(const std::string& reason, Clock::time_point now) {
    std::printf("Sound output lost: %s. Opening the default output device again in the background.\n",
                reason.c_str());
    device_->close();
    open_ = running_ = false;
    playing_.store(false, std::memory_order_release);
    announceResume_ = true;
    startFailureShown_ = false;
    // The first attempt comes at once, on the device list as it is.
    attempts_ = 0;
    nextAttempt_ = now;
}

}  // namespace feltrix
