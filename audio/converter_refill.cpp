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

// One converter pass at `ratio`; the number of frames made, or -1 when the
// converter refuses.
long convertBlock(AudioChannel& channel, double ratio, std::uint32_t outFrames) {
    if (!std::isfinite(ratio) || ratio <= 0.0) return -1;
    // Half again as much input as the converter should need.
    const double wantedInput = outFrames / ratio * 1.5;
    const std::uint32_t inFrames = wantedInput >= kConverterInputFrames ? kConverterInputFrames
                                   : wantedInput > 0.0                 ? static_cast<std::uint32_t>(wantedInput)
                                                                       : 0;
    const std::uint64_t count = channel.sampleCount;
    std::uint64_t loopStart = channel.loopStart.load(std::memory_order_relaxed);
    if (loopStart >= count) loopStart = 0;
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
    if (count > 0) {
        // Unused input frames are read again from here at the next refill.
        channel.position.store(
            advanceFrame(position, static_cast<std::uint64_t>(data.input_frames_used), count, loopStart),
            std::memory_order_relaxed);
    }
    return data.output_frames_gen;
}

void applyPositionRequest(AudioChannel& channel) {
    if (channel.positionRequest.load(std::memory_order_relaxed) == kNoPositionRequest) return;
    const std::uint64_t frame = channel.positionRequest.exchange(kNoPositionRequest, std::memory_order_acquire);
    if (frame < channel.sampleCount) channel.position.store(frame, std::memory_order_relaxed);
}

}  // namespace

std::uint32_t refillChannel(AudioChannel& channel, int rate, std::uint32_t wanted) {
    const std::uint32_t outFrames = std::min(wanted, kConverterOutputFrames);
    applyPositionRequest(channel);
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

}  // namespace audio_thread
}  // namespace feltrix
