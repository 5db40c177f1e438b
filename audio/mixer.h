#pragma once
// Mixing all channels of a table into interleaved stereo float frames.
// Free of any audio-library type, so that tests and renderers can pull the
// mixer block by block without a device.
#include <cstdint>

#include "audio/channel_table.h"

namespace feltrix {
namespace audio_thread {

// Everything in this namespace runs on the audio thread: no locks, no memory
// allocation or release, no printing, no system calls.

// Writes frameCount stereo frames (left, right) to `out`. One thread at a
// time: the channels' converters and converted blocks belong to the mixer.
void mixChannels(ChannelTable& table, float* out, std::uint32_t frameCount);

// Adds one channel's next frameCount frames at output rate `outputRate` to
// `out`, as mixChannels() does for each channel of the table; false when the
// channel was silent for the whole block and added nothing. A renderer may
// mix different channels on different threads (each into its own `out`).
bool mixChannel(AudioChannel& channel, int outputRate, float* out, std::uint32_t frameCount);

// Refills channel's converted block with up to `wanted` frames (at most the
// block size) at output rate `rate` (the output rate divided by the speed) and
// returns how many frames it produced.
std::uint32_t refillChannel(AudioChannel& channel, int rate, std::uint32_t wanted);

// Moves a channel that is silent for a whole block on by `frames` output
// frames without converting anything: its position advances as conversion at
// `rate` would have moved it (loops included). The next refill starts the
// converter afresh from there.
void skipConversion(AudioChannel& channel, int rate, std::uint32_t frames);

}  // namespace audio_thread
}  // namespace feltrix
