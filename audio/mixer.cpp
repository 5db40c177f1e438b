// Mixing the channel table into one stereo stream (audio thread).
#include "audio/mixer.h"

#include <algorithm>

#include "audio/denormals.h"

namespace feltrix {
namespace audio_thread {
namespace {

// A channel's gain and panning while one block is mixed: the values live in
// locals and go back to the channel when the block is done. They add up their
// steps in double precision, so a slide of a second ends within a frame of
// its time (single precision drifts by dozens of frames over 48000 steps).
struct VoiceState {
    double volume;
    double panning;
    Slide volumeSlide;   // as published, to end it there
    Slide panningSlide;
    float volumeStep;    // running step; 0 once the slide reached its target
    float panningStep;
};

// One frame of a linear slide: moves `value` by `step`, and when it passes
// `target` clamps it there and ends the slide.
inline void slideOneFrame(double& value, float& step, float target) {
    if (step < 0.0f) {
        value += step;
        if (value < target) {
            value = target;
            step = 0.0f;
        }
    } else if (step > 0.0f) {
        value += step;
        if (value > target) {
            value = target;
            step = 0.0f;
        }
    }
}

// Adds `frames` frames of `source` (nullptr: silence) to `out`.
inline void mixRun(VoiceState& voice, const float* source, std::uint32_t frames, float* out) {
    for (std::uint32_t i = 0; i < frames; ++i) {
        const float sample = source != nullptr ? source[i] : 0.0f;
        slideOneFrame(voice.volume, voice.volumeStep, voice.volumeSlide.target);
        slideOneFrame(voice.panning, voice.panningStep, voice.panningSlide.target);
        const float panning = static_cast<float>(voice.panning);
        const float gain = static_cast<float>(voice.volume) * sample;
        out[2 * i] += (1.0f - panning) * gain;
        out[2 * i + 1] += panning * gain;
    }
}

VoiceState beginVoice(const AudioChannel& channel) {
    VoiceState voice;
    voice.volume = channel.volume.load(std::memory_order_relaxed);
    voice.panning = channel.panning.load(std::memory_order_relaxed);
    voice.volumeSlide = channel.volumeSlide.load();
    voice.panningSlide = channel.panningSlide.load();
    voice.volumeStep = voice.volumeSlide.step;
    voice.panningStep = voice.panningSlide.step;
    return voice;
}

void endVoice(AudioChannel& channel, const VoiceState& voice) {
    channel.volume.store(static_cast<float>(voice.volume), std::memory_order_relaxed);
    channel.panning.store(static_cast<float>(voice.panning), std::memory_order_relaxed);
    // A slide that reached its target this block is ended where it was
    // published, unless a new one took its place meanwhile.
    if (voice.volumeStep == 0.0f && voice.volumeSlide.step != 0.0f) channel.volumeSlide.finish(voice.volumeSlide);
    if (voice.panningStep == 0.0f && voice.panningSlide.step != 0.0f) channel.panningSlide.finish(voice.panningSlide);
}

// The output rate divided by the speed: the rate the channel is converted to.
int conversionRate(const AudioChannel& channel, int outputRate) {
    // The speed is kept within 0.125..8 by its setter.
    const float speed = channel.speed.load(std::memory_order_relaxed);
    return static_cast<int>(static_cast<float>(outputRate) / speed);
}

void mixChannel(AudioChannel& channel, int outputRate, float* out, std::uint32_t frameCount) {
    VoiceState voice = beginVoice(channel);
    // Each block starts with an empty converted block.
    channel.outputFill = 0;
    channel.outputRead = 0;
    if (voice.volume == 0.0f && voice.volumeStep == 0.0f) {
        // Silent for the whole block (a new slide shows only at a block's
        // start): nothing to convert or add, only the panning slide and the
        // position move on. This keeps preloaded, silent sounds cheap.
        if (voice.panningStep != 0.0f) {
            for (std::uint32_t i = 0; i < frameCount; ++i) {
                slideOneFrame(voice.panning, voice.panningStep, voice.panningSlide.target);
            }
        }
        skipConversion(channel, conversionRate(channel, outputRate), frameCount);
        endVoice(channel, voice);
        return;
    }
    if (channel.sampleCount == 0) {
        // Nothing to convert: silence, but the slides still run.
        mixRun(voice, nullptr, frameCount, out);
        endVoice(channel, voice);
        return;
    }
    std::uint32_t frame = 0;
    while (frame < frameCount) {
        if (channel.outputRead >= channel.outputFill) {
            channel.outputFill = refillChannel(channel, conversionRate(channel, outputRate), frameCount - frame);
            channel.outputRead = 0;
            if (channel.outputFill == 0) {
                // The converter made nothing yet: one silent frame, then ask again.
                mixRun(voice, nullptr, 1, out + 2 * frame);
                channel.outputRead = 1;
                ++frame;
                continue;
            }
        }
        const std::uint32_t run = std::min(channel.outputFill - channel.outputRead, frameCount - frame);
        mixRun(voice, channel.converterOutput.get() + channel.outputRead, run, out + 2 * frame);
        channel.outputRead += run;
        frame += run;
    }
    endVoice(channel, voice);
}

}  // namespace

void mixChannels(ChannelTable& table, float* out, std::uint32_t frameCount) {
    DenormalsFlushedToZero denormals;
    const ChannelList* list = table.audioThreadBeginBlock();
    std::fill(out, out + 2 * static_cast<std::size_t>(frameCount), 0.0f);
    // Paused: silence, and nothing (position, slides, converters) moves on.
    if (list->count > 0 && !table.paused.load(std::memory_order_relaxed)) {
        const int outputRate = table.sampleRate();
        for (std::uint32_t i = 0; i < list->count; ++i) mixChannel(*list->entries[i], outputRate, out, frameCount);
    }
    table.audioThreadEndBlock();
}

}  // namespace audio_thread
}  // namespace feltrix
