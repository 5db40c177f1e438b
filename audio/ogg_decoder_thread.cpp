#include "audio/ogg_decoder_thread.h"

#include <atomic>
#include <system_error>
#include <thread>

namespace feltrix {

namespace {

constexpr int framesPerRead = 65536;
std::atomic<bool> failThreadStarts{false};

// Decoder threads still running, for waitForOggDecoderThreads().
struct RunningThreads {
    std::mutex mutex;
    std::condition_variable ended;
    int count = 0;
};

RunningThreads& runningThreads() {
    // Never destroyed: a detached thread may still end while the process ends.
    static RunningThreads* threads = new RunningThreads;
    return *threads;
}

void oggDecoderThread(OggDecodeJob* job) {
    {
        std::unique_ptr<OggDecodeJob> owned(job);
        if (decodeOggFrames(*owned, 0) < 0) {
            // Not reported anywhere: the voices keep what was decoded so far.
            settleVoicesAfterError(*owned);
        }
    }
    RunningThreads& threads = runningThreads();
    std::lock_guard<std::mutex> guard(threads.mutex);
    --threads.count;
    threads.ended.notify_all();
}

}  // namespace

void DecodeSlots::acquire() {
    std::unique_lock<std::mutex> guard(mutex_);
    freed_.wait(guard, [this] { return free_ > 0; });
    --free_;
}

void DecodeSlots::release() {
    // Notified under the lock: once a waiter can see the slot, this thread no
    // longer touches the semaphore.
    std::lock_guard<std::mutex> guard(mutex_);
    ++free_;
    freed_.notify_one();
}

int DecodeSlots::available() {
    std::lock_guard<std::mutex> guard(mutex_);
    return free_;
}

DecodeSlots& oggDecodeSlots() {
    // Never destroyed: a detached decoder thread may still give its slot
    // back while the process ends.
    static DecodeSlots* slots = new DecodeSlots(kOggDecodeSlots);
    return *slots;
}

void OggDecodeJob::endDecoding() {
    if (stream) {
        stream->close();
    }
    if (holdsSlot) {
        holdsSlot = false;
        oggDecodeSlots().release();
    }
}

long decodeOggFrames(OggDecodeJob& job, std::uint64_t limit) {
    const std::size_t count = job.voices.size();
    job.released.resize(count, false);
    std::uint64_t decoded = 0;
    for (;;) {
        bool allReleased = true;
        for (std::size_t j = 0; j < count; ++j) {
            allReleased = allReleased && job.released[j];
        }
        if (allReleased) {
            job.endDecoding();
            return 0;
        }
        if (limit > 0 && decoded >= limit) {
            return static_cast<long>(decoded);
        }
        float** pcm = nullptr;
        long got = job.stream->read(pcm, framesPerRead);
        if (got < 0) {
            job.endDecoding();
            return got;
        }
        if (got == 0) {
            for (std::size_t j = 0; j < count; ++j) {
                if (!job.released[j] && !finishDecoding(job.voices[j])) {
                    job.released[j] = true;
                }
            }
            job.endDecoding();
            return 0;
        }
        for (std::size_t j = 0; j < count; ++j) {
            if (!job.released[j] &&
                !appendDecodedFrames(job.voices[j], pcm[j], static_cast<std::uint64_t>(got))) {
                job.released[j] = true;  // it was orphaned and is freed now
            }
        }
        decoded += static_cast<std::uint64_t>(got);
    }
}

void settleVoicesAfterError(OggDecodeJob& job) {
    job.released.resize(job.voices.size(), false);
    for (std::size_t j = 0; j < job.voices.size(); ++j) {
        if (!job.released[j]) {
            finishDecoding(job.voices[j]);
            job.released[j] = true;
        }
    }
    job.endDecoding();
}

bool startOggDecoderThread(std::unique_ptr<OggDecodeJob>& job) {
    if (failThreadStarts.load()) {
        return false;
    }
    RunningThreads& threads = runningThreads();
    {
        std::lock_guard<std::mutex> guard(threads.mutex);
        ++threads.count;
    }
    try {
        std::thread thread(oggDecoderThread, job.get());
        job.release();  // the thread owns it now
        thread.detach();  // nobody joins it
        return true;
    } catch (const std::system_error&) {
        std::lock_guard<std::mutex> guard(threads.mutex);
        --threads.count;
        return false;
    }
}

void waitForOggDecoderThreads() {
    RunningThreads& threads = runningThreads();
    std::unique_lock<std::mutex> guard(threads.mutex);
    threads.ended.wait(guard, [&threads] { return threads.count == 0; });
}

void failOggThreadStartsForTesting(bool fail) { failThreadStarts.store(fail); }

}  // namespace feltrix
