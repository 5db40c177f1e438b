#include "audio/audio_channel.h"

#include <samplerate.h>

#include <algorithm>
#include <cstring>
#include <new>

#include "audio/audio_engine.h"

namespace feltrix {

AudioChannel::~AudioChannel() {
    if (converter != nullptr) src_delete(converter);
}

AudioChannel* newAudioChannel() {
    std::unique_ptr<AudioChannel> channel(new (std::nothrow) AudioChannel);
    if (!channel) return nullptr;
    channel->converterInput.reset(new (std::nothrow) float[kConverterInputFrames]);
    channel->converterOutput.reset(new (std::nothrow) float[kConverterOutputFrames]);
    if (!channel->converterInput || !channel->converterOutput) return nullptr;
    channel->converter = src_new(SRC_SINC_MEDIUM_QUALITY, 1, &channel->converterError);
    if (channel->converter == nullptr) return nullptr;
    channel->sourceRate = static_cast<std::uint32_t>(outputSampleRate());
    return channel.release();
}

void freeAudioChannel(AudioChannel* channel) { delete channel; }

bool allocateChannelSamples(AudioChannel* channel, std::uint64_t frames) {
    if (frames > SIZE_MAX / sizeof(float)) return false;
    // At least one element, so that a 0-frame channel still has an array.
    float* samples = new (std::nothrow) float[std::max<std::uint64_t>(frames, 1)];
    if (samples == nullptr) return false;
    channel->samples.reset(samples);
    channel->sampleCount = frames;
    return true;
}

void setInitialPanning(AudioChannel* channel, float panning) {
    channel->panning.store(panning, std::memory_order_relaxed);
    channel->panningSlide.store(Slide{panning, 0.0f});
}

bool appendDecodedFrames(AudioChannel* channel, const float* frames, std::uint64_t count) {
    {
        std::lock_guard<std::mutex> guard(channel->lock);
        if (channel->loadState.load(std::memory_order_relaxed) != LoadState::Orphaned) {
            const std::uint64_t filled = channel->framesAvailable.load(std::memory_order_relaxed);
            const std::uint64_t room = channel->sampleCount > filled ? channel->sampleCount - filled : 0;
            const std::uint64_t copied = std::min(count, room);
            if (copied > 0) std::memcpy(channel->samples.get() + filled, frames, copied * sizeof(float));
            // The mixer reads frames below framesAvailable: copy first, then publish.
            channel->framesAvailable.store(filled + copied, std::memory_order_release);
            return true;
        }
    }
    // Orphaned: the table no longer knows this channel; only we do.
    freeAudioChannel(channel);
    return false;
}

bool finishDecoding(AudioChannel* channel) {
    {
        std::lock_guard<std::mutex> guard(channel->lock);
        if (channel->loadState.load(std::memory_order_relaxed) != LoadState::Orphaned) {
            channel->loadState.store(LoadState::Loaded, std::memory_order_relaxed);
            return true;
        }
    }
    freeAudioChannel(channel);
    return false;
}

void releaseFromTable(AudioChannel* channel) {
    {
        std::lock_guard<std::mutex> guard(channel->lock);
        if (channel->loadState.load(std::memory_order_relaxed) == LoadState::Loading) {
            channel->loadState.store(LoadState::Orphaned, std::memory_order_relaxed);
            return;
        }
    }
    freeAudioChannel(channel);
}

}  // namespace feltrix
