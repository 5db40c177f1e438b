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

// Frames of real sound the converter is given in front of what is heard when
// it starts again: enough for its filter (medium quality reaches about 46
// input frames either side at ratio 1, and 1/ratio times as far when it
// narrows its band to convert down).
std::uint32_t primingHistory(double ratio) {
    const double reach = 48.0 / std::min(ratio, 1.0) + 2.0;
    return reach < kConverterInputFrames / 2 ? static_cast<std::uint32_t>(reach) : kConverterInputFrames / 2;
}

// Writes the `frames` frames in front of `frame` (oldest first) to `input`:
// what was heard before it. Frames before the first one, or not decoded yet,
// are silence.
void fillHistory(const AudioChannel& channel, float* input, std::uint32_t frames, std::uint64_t frame) {
    const std::uint64_t available = channel.framesAvailable.load(std::memory_order_acquire);
    for (std::uint32_t i = 0; i < frames; ++i) {
        const std::uint64_t back = frames - i;
        input[i] = back <= frame && frame - back < available ? channel.samples[frame - back] : 0.0f;
    }
}

// Starts the converter again after it sat out (silent, or copying at ratio 1)
// at what is heard now: reset, then fed the frames in front of playFrame so
// that its filter holds the sound it would hold had it run all along, and
// stepped to where the next output frame lies playFraction past playFrame.
// The output made meanwhile is thrown away.
void restartConverter(AudioChannel& channel, double ratio) {
    src_reset(channel.converter);
    channel.converterIdle = false;
    channel.converterRatio = 0.0;
    channel.converterHeld = 0.0;
    channel.playDelay = 0.0;
    channel.position.store(channel.playFrame, std::memory_order_relaxed);
    if (channel.sampleCount == 0) return;
    const std::uint32_t history = primingHistory(ratio);
    // Input beyond playFrame for each step: the filter looks as far ahead as
    // it looks back (twice as far at ratio 1/2).
    constexpr std::uint32_t aheadFirst = 64, aheadSecond = 128;
    float* input = channel.converterInput.get();
    fillHistory(channel, input, history, channel.playFrame);
    const std::uint64_t loopStart = currentLoopStart(channel);
    fillConverterInput(channel, input + history, aheadFirst + aheadSecond, channel.playFrame, loopStart);
    // Outputs at ratio 1 lie on the input frames: history - 1 of them bring
    // the converter to the frame in front of playFrame, and one more at ratio
    // 1 / (1 + playFraction) steps it on to playFrame + playFraction.
    SRC_DATA data{};
    data.data_in = input;
    data.data_out = channel.converterOutput.get();  // thrown away
    data.input_frames = history + aheadFirst;
    data.output_frames = history - 1;
    data.src_ratio = 1.0;
    bool primed = src_process(channel.converter, &data) == 0 && data.output_frames_gen == data.output_frames &&
                  data.input_frames_used == data.input_frames;
    if (primed) {
        data.data_in = input + history + aheadFirst;
        data.input_frames = aheadSecond;
        data.output_frames = 1;
        data.src_ratio = 1.0 / (1.0 + channel.playFraction);
        primed = src_set_ratio(channel.converter, data.src_ratio) == 0 && src_process(channel.converter, &data) == 0 &&
                 data.output_frames_gen == 1;
    }
    if (!primed) {
        src_reset(channel.converter);  // start on the whole frame, from silence
        channel.playFraction = 0.0;
        return;
    }
    const std::uint64_t used = aheadFirst + static_cast<std::uint64_t>(data.input_frames_used);  // from playFrame on
    channel.converterRatio = data.src_ratio;
    channel.position.store(advanceFrame(channel.playFrame, used, channel.sampleCount, loopStart),
                           std::memory_order_relaxed);
    channel.converterHeld = static_cast<double>(used) - channel.playFraction;
}

// Ratio 1: what is heard is the samples themselves, copied to the converted
// block; the converter rests. A fraction of a frame left by conversion
// rounds to the nearest frame, a jump still held back is taken at once, and
// the converter starts afresh when conversion resumes.
std::uint32_t copyFrames(AudioChannel& channel, std::uint32_t frames) {
    channel.converterIdle = true;
    channel.converterHeld = 0.0;
    channel.playDelay = 0.0;
    const std::uint64_t count = channel.sampleCount;
    float* out = channel.converterOutput.get();
    if (count == 0) {
        std::fill(out, out + frames, 0.0f);
        return frames;
    }
    const std::uint64_t loopStart = currentLoopStart(channel);
    if (channel.playFraction >= 0.5) channel.playFrame = advanceFrame(channel.playFrame, 1, count, loopStart);
    channel.playFraction = 0.0;
    fillConverterInput(channel, out, frames, channel.playFrame, loopStart);
    channel.playFrame = advanceFrame(channel.playFrame, frames, count, loopStart);
    channel.position.store(channel.playFrame, std::memory_order_relaxed);
    return frames;
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
    // The file's own rate (or a ratio the converter refuses): no conversion.
    const double ratio = conversionRatio(channel, rate);
    if (ratio == 1.0) return copyFrames(channel, outFrames);
    if (channel.converterIdle) restartConverter(channel, ratio);
    long made = convertBlock(channel, ratio, outFrames);
    // The converter refused the ratio after all: play this block at the file's own rate.
    if (made < 0) return copyFrames(channel, outFrames);
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
