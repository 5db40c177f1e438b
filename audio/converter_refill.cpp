// Feeding a channel's samples through its rate converter (audio thread).
#include <samplerate.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "audio/mixer.h"

namespace feltrix {
namespace audio_thread {
namespace {

// The frame `steps` frames after `frame`, going on at loopStart after the
// last frame. Needs frame < count and count > 0.
std::uint64_t advanceFrame(std::uint64_t frame, std::uint64_t steps, std::uint64_t count, std::uint64_t loopStart) {
    if (steps < count - frame) return frame + steps;
    steps -= count - frame;
    return loopStart + steps % (count - loopStart);
}

// Copies `frames` frames starting at `frame` into `input`, looping as
// advanceFrame() does; frames not decoded yet are silence.
void fillConverterInput(const AudioChannel& channel, float* input, std::uint32_t frames, std::uint64_t frame,
                        std::uint64_t loopStart) {
    const std::uint64_t count = channel.sampleCount;
    if (count == 0) {
        std::fill(input, input + frames, 0.0f);
        return;
    }
    // Acquire: the frames below this mark have been copied in completely.
    const std::uint64_t available = channel.framesAvailable.load(std::memory_order_acquire);
    std::uint32_t done = 0;
    while (done < frames) {
        const std::uint64_t run = std::min<std::uint64_t>(frames - done, count - frame);
        const std::uint64_t decoded = frame < available ? std::min(run, available - frame) : 0;
        if (decoded > 0) std::memcpy(input + done, channel.samples.get() + frame, decoded * sizeof(float));
        std::fill(input + done + decoded, input + done + run, 0.0f);
        done += static_cast<std::uint32_t>(run);
        frame += run;
        if (frame >= count) frame = loopStart;
    }
}

// Moves what is heard on by `frames` frames of the samples (a fraction
// included), looping as advanceFrame() does.
void movePlayhead(AudioChannel& channel, double frames, std::uint64_t loopStart) {
    if (channel.playDelay >= frames) {
        channel.playDelay -= frames;
        return;
    }
    frames -= channel.playDelay;
    channel.playDelay = 0.0;
    const double whole = std::floor(channel.playFraction + frames);
    channel.playFraction += frames - whole;
    channel.playFrame = advanceFrame(channel.playFrame, static_cast<std::uint64_t>(whole), channel.sampleCount,
                                     loopStart);
}

std::uint64_t currentLoopStart(const AudioChannel& channel) {
    const std::uint64_t loopStart = channel.loopStart.load(std::memory_order_relaxed);
    return loopStart < channel.sampleCount ? loopStart : 0;
}

// One converter pass at `ratio`; the number of frames made, or -1 when the
// converter refuses.
long convertBlock(AudioChannel& channel, double ratio, std::uint32_t outFrames) {
    if (!std::isfinite(ratio) || ratio <= 0.0) return -1;
    // A new ratio applies from this block on, as one step: the converter would
    // otherwise glide to it over the block, and what is heard be harder to tell.
    if (ratio != channel.converterRatio && src_set_ratio(channel.converter, ratio) != 0) return -1;
    // Half again as much input as the converter should need.
    const double wantedInput = outFrames / ratio * 1.5;
    const std::uint32_t inFrames = wantedInput >= kConverterInputFrames ? kConverterInputFrames
                                   : wantedInput > 0.0                 ? static_cast<std::uint32_t>(wantedInput)
                                                                       : 0;
    const std::uint64_t count = channel.sampleCount;
    const std::uint64_t loopStart = currentLoopStart(channel);
    const std::uint64_t position = channel.position.load(std::memory_order_relaxed);
    fillConverterInput(channel, channel.converterInput.get(), inFrames, position, loopStart);

    SRC_DATA data{};
    data.data_in = channel.converterInput.get();
    data.data_out = channel.converterOutput.get();
    data.input_frames = inFrames;
    data.output_frames = outFrames;
    data.end_of_input = 0;
    data.src_ratio = ratio;
    if (src_process(channel.converter, &data) != 0) return -1;
    channel.converterRatio = ratio;
    if (count > 0) {
        // Unused input frames are read again from here at the next refill.
        channel.position.store(
            advanceFrame(position, static_cast<std::uint64_t>(data.input_frames_used), count, loopStart),
            std::memory_order_relaxed);
        const double played = static_cast<double>(data.output_frames_gen) / ratio;
        channel.converterHeld += static_cast<double>(data.input_frames_used) - played;
        movePlayhead(channel, played, loopStart);
    }
    return data.output_frames_gen;
}

// Starts the converter again after it sat out, at what is heard now: reset,
// then one output frame (thrown away) made from a silent frame in front of
// playFrame, at the ratio that puts the next output frame playFraction past
// playFrame, where continuous conversion would have it.
void restartConverter(AudioChannel& channel) {
    src_reset(channel.converter);
    channel.converterIdle = false;
    channel.converterRatio = 0.0;
    channel.converterHeld = 0.0;
    channel.playDelay = 0.0;
    channel.position.store(channel.playFrame, std::memory_order_relaxed);
    if (channel.playFraction <= 0.0 || channel.sampleCount == 0) return;
    // Enough input for the converter's filter at ratios down to 1/2.
    constexpr std::uint32_t primingFrames = 256;
    float* input = channel.converterInput.get();
    input[0] = 0.0f;
    const std::uint64_t loopStart = currentLoopStart(channel);
    fillConverterInput(channel, input + 1, primingFrames, channel.playFrame, loopStart);
    float discarded = 0.0f;
    SRC_DATA data{};
    data.data_in = input;
    data.data_out = &discarded;
    data.input_frames = primingFrames + 1;
    data.output_frames = 1;
    data.src_ratio = 1.0 / (1.0 + channel.playFraction);
    if (src_process(channel.converter, &data) != 0 || data.output_frames_gen != 1 || data.input_frames_used < 1) {
        src_reset(channel.converter);  // start on the whole frame instead
        channel.playFraction = 0.0;
        return;
    }
    channel.converterRatio = data.src_ratio;
    const auto used = static_cast<std::uint64_t>(data.input_frames_used) - 1;  // the silent frame is no sample
    channel.position.store(advanceFrame(channel.playFrame, used, channel.sampleCount, loopStart),
                           std::memory_order_relaxed);
    channel.converterHeld = static_cast<double>(used) - channel.playFraction;
}

// Takes up a jump the main thread asked for. A running converter still plays
// what it holds before the new place is heard; an idle one holds nothing.
void applyPositionRequest(AudioChannel& channel) {
    if (channel.positionRequest.load(std::memory_order_relaxed) == kNoPositionRequest) return;
    const std::uint64_t frame = channel.positionRequest.exchange(kNoPositionRequest, std::memory_order_acquire);
    if (frame >= channel.sampleCount) return;
    channel.position.store(frame, std::memory_order_relaxed);
    channel.playFrame = frame;
    channel.playFraction = 0.0;
    if (channel.converterIdle) channel.converterHeld = 0.0;
    channel.playDelay = channel.converterHeld;
}

// The ratio a refill at output rate `rate` converts at: 1 (the file's own
// rate) where the converter refuses the real one.
double conversionRatio(const AudioChannel& channel, int rate) {
    const double ratio = static_cast<std::uint32_t>(rate) / static_cast<double>(channel.sourceRate);
    return std::isfinite(ratio) && src_is_valid_ratio(ratio) ? ratio : 1.0;
}

}  // namespace

std::uint32_t refillChannel(AudioChannel& channel, int rate, std::uint32_t wanted) {
    const std::uint32_t outFrames = std::min(wanted, kConverterOutputFrames);
    applyPositionRequest(channel);
    if (channel.converterIdle) restartConverter(channel);
    const double sourceRate = channel.sourceRate;
    long made = convertBlock(channel, static_cast<std::uint32_t>(rate) / sourceRate, outFrames);
    // The converter refused the ratio: play this block at the file's own rate.
    if (made < 0) made = convertBlock(channel, 1.0, outFrames);
    if (made < 0) {
        // Refused even that: a block of silence, the position stands.
        std::fill(channel.converterOutput.get(), channel.converterOutput.get() + outFrames, 0.0f);
        return outFrames;
    }
    return static_cast<std::uint32_t>(made);
}

void skipConversion(AudioChannel& channel, int rate, std::uint32_t frames) {
    if (channel.sampleCount == 0) return;
    channel.converterIdle = true;
    applyPositionRequest(channel);
    const std::uint64_t loopStart = currentLoopStart(channel);
    movePlayhead(channel, frames / conversionRatio(channel, rate), loopStart);
    // Reported as continuous conversion would: ahead of what is heard by what
    // the converter held when it stopped.
    const double ahead = std::max(channel.playFraction + channel.converterHeld - channel.playDelay, 0.0);
    channel.position.store(
        advanceFrame(channel.playFrame, static_cast<std::uint64_t>(std::llround(ahead)), channel.sampleCount,
                     loopStart),
        std::memory_order_relaxed);
}

}  // namespace audio_thread
}  // namespace feltrix
