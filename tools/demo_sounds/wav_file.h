#pragma once
// Writing 16-bit PCM WAV files (the plain RIFF layout every player reads).
#include <string>
#include <vector>

namespace demosounds {

// A sound in memory: interleaved samples in -1..1, `channels` per frame.
struct Sound {
    int sampleRate = 44100;
    int channels = 2;
    std::vector<float> samples;

    std::size_t frames() const { return samples.size() / static_cast<std::size_t>(channels); }
};

// Writes `sound` as 16-bit PCM; samples outside -1..1 are clipped.
// Returns false (and leaves a message in `error`) when the file cannot be written.
bool writeWav16(const std::string& path, const Sound& sound, std::string& error);

}  // namespace demosounds
