#pragma once
// The render's mixer: the channel table mixed on several threads. Channel k
// of the table is mixed by thread k mod N into a block of its own, and the
// blocks of the channels that sounded are then added up in channel order, so
// that the result is the one-thread mixer's, bit for bit, whatever N is.
// Blocks with fewer than two channels to convert are mixed on the calling
// thread alone. Renders only: the live output mixes on its one audio thread.
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

#include "audio/channel_table.h"

namespace feltrix::render {

class ParallelMixer {
public:
    // Mixes on `threads` threads in all (the calling one included); 0: one
    // per processor core.
    explicit ParallelMixer(unsigned threads = 0);
    ~ParallelMixer();
    ParallelMixer(const ParallelMixer&) = delete;
    ParallelMixer& operator=(const ParallelMixer&) = delete;

    // Writes frameCount stereo frames of `table` to `out`, as
    // audio_thread::mixChannels() does.
    void mix(ChannelTable& table, float* out, std::uint32_t frameCount);
    unsigned threads() const { return static_cast<unsigned>(workers_.size()) + 1; }

private:
    // One channel's block: what it added, if it sounded.
    struct Voice {
        std::vector<float> frames;
        bool sounded = false;
    };
    void work(unsigned part);
    void mixPart(unsigned part);

    std::vector<std::thread> workers_;
    std::vector<Voice> voices_;
    std::vector<std::vector<float>> scratch_;  // one per thread
    // The block being mixed (set by mix() before the workers start).
    const ChannelList* list_ = nullptr;
    std::uint32_t count_ = 0;
    int outputRate_ = 0;
    std::uint32_t frameCount_ = 0;

    std::mutex mutex_;
    std::condition_variable start_, done_;
    std::uint64_t round_ = 0;  // under mutex_: bumped for each block
    unsigned busy_ = 0;        // workers still mixing this round
    bool quit_ = false;
};

}  // namespace feltrix::render
