#pragma once
// Sounds for the engine tests: channels made in memory and WAV files.
#include <cstdint>
#include <string>
#include <vector>

#include "audio/audio_channel.h"

namespace feltrix::testing {

// A loaded channel holding `samples` at `sourceRate` (panning 0.5, volume 0).
AudioChannel* makeChannel(const std::vector<float>& samples, std::uint32_t sourceRate);
// `frames` frames of a sine of `hz` at full scale `amplitude`.
std::vector<float> sine(double hz, std::uint32_t rate, std::size_t frames, float amplitude = 1.0f);
// A canonical 16-bit PCM WAV file; `interleaved` holds channels x frames values in -1..1.
std::string wavFile16(const std::vector<float>& interleaved, int channels, std::uint32_t rate);

}  // namespace feltrix::testing
