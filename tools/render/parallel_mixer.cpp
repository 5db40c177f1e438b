#include "tools/render/parallel_mixer.h"

#include <algorithm>

#include "audio/denormals.h"
#include "audio/mixer.h"

namespace feltrix::render {
namespace {

// Whether at least two channels will be converted in this block: converting
// is what pays for handing channels to other threads. Copied channels
// (ratio 1) and silent ones cost less than the handing over (the demo at
// 48 kHz: 460x real time in processor time on one thread, 360x on two).
bool worthSharing(const ChannelList& list, std::uint32_t count, int outputRate) {
    unsigned converting = 0;
    for (std::uint32_t i = 0; i < count; ++i) {
        const AudioChannel& channel = *list.entries[i];
        const bool audible = channel.volume.load(std::memory_order_relaxed) != 0.0f ||
                             channel.volumeSlide.load().step != 0.0f;
        // The rate the mixer converts to (the output rate over the speed).
        const auto rate = static_cast<std::uint32_t>(static_cast<float>(outputRate) /
                                                     channel.speed.load(std::memory_order_relaxed));
        if (audible && channel.sampleCount > 0 && rate != channel.sourceRate && ++converting == 2) return true;
    }
    return false;
}

}  // namespace

ParallelMixer::ParallelMixer(unsigned threads) {
    if (threads == 0) threads = std::max(1u, std::thread::hardware_concurrency());
    scratch_.resize(threads);
    for (unsigned part = 1; part < threads; ++part) workers_.emplace_back([this, part] { work(part); });
}

ParallelMixer::~ParallelMixer() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        quit_ = true;
    }
    start_.notify_all();
    for (std::thread& worker : workers_) worker.join();
}

void ParallelMixer::mixPart(unsigned part) {
    audio_thread::DenormalsFlushedToZero denormals;
    std::vector<float>& scratch = scratch_[part];
    for (std::uint32_t i = part; i < count_; i += threads()) {
        Voice& voice = voices_[i];
        scratch.assign(2 * static_cast<std::size_t>(frameCount_), 0.0f);
        voice.sounded = audio_thread::mixChannel(*list_->entries[i], outputRate_, scratch.data(), frameCount_);
        // A channel keeps a block only once it has sounded: a bank of silent
        // channels costs no memory.
        if (voice.sounded) voice.frames.swap(scratch);
    }
}

void ParallelMixer::work(unsigned part) {
    std::uint64_t seen = 0;
    for (;;) {
        {
            std::unique_lock<std::mutex> lock(mutex_);
            start_.wait(lock, [&] { return quit_ || round_ != seen; });
            if (quit_) return;
            seen = round_;
        }
        mixPart(part);
        {
            std::lock_guard<std::mutex> lock(mutex_);
            --busy_;
        }
        done_.notify_one();
    }
}

void ParallelMixer::mix(ChannelTable& table, float* out, std::uint32_t frameCount) {
    // The render's own thread changes the table only between blocks, so the
    // list stays as it is while the workers mix it.
    list_ = table.audioThreadBeginBlock();
    count_ = list_->count.load(std::memory_order_acquire);
    if (workers_.empty() || table.paused.load(std::memory_order_relaxed) ||
        !worthSharing(*list_, count_, table.sampleRate())) {
        table.audioThreadEndBlock();
        audio_thread::mixChannels(table, out, frameCount);
        return;
    }
    outputRate_ = table.sampleRate();
    frameCount_ = frameCount;
    if (voices_.size() < count_) voices_.resize(count_);
    {
        std::lock_guard<std::mutex> lock(mutex_);
        busy_ = static_cast<unsigned>(workers_.size());
        ++round_;
    }
    start_.notify_all();
    mixPart(0);
    {
        std::unique_lock<std::mutex> lock(mutex_);
        done_.wait(lock, [&] { return busy_ == 0; });
    }
    // The sum as the one-thread mixer forms it: from 0, channel by channel,
    // with denormals flushed.
    audio_thread::DenormalsFlushedToZero denormals;
    const std::size_t values = 2 * static_cast<std::size_t>(frameCount);
    std::fill(out, out + values, 0.0f);
    for (std::uint32_t i = 0; i < count_; ++i) {
        if (!voices_[i].sounded) continue;
        const float* frames = voices_[i].frames.data();
        for (std::size_t k = 0; k < values; ++k) out[k] += frames[k];
    }
    table.audioThreadEndBlock();
}

}  // namespace feltrix::render
