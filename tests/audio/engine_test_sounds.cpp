#include "tests/audio/engine_test_sounds.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace feltrix::testing {

AudioChannel* makeChannel(const std::vector<float>& samples, std::uint32_t sourceRate) {
    AudioChannel* channel = newAudioChannel();
    if (channel == nullptr || !allocateChannelSamples(channel, samples.size())) return nullptr;
    std::copy(samples.begin(), samples.end(), channel->samples.get());
    channel->framesAvailable.store(samples.size());
    channel->sourceRate = sourceRate;
    channel->loadState.store(LoadState::Loaded);
    return channel;
}

std::vector<float> sine(double hz, std::uint32_t rate, std::size_t frames, float amplitude) {
    std::vector<float> out(frames);
    for (std::size_t i = 0; i < frames; ++i) {
        out[i] = amplitude * static_cast<float>(std::sin(2.0 * M_PI * hz * static_cast<double>(i) / rate));
    }
    return out;
}

namespace {
void put(std::string& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xff));
}
}  // namespace

std::string wavFile16(const std::vector<float>& interleaved, int channels, std::uint32_t rate) {
    const std::uint32_t dataSize = static_cast<std::uint32_t>(interleaved.size() * 2);
    std::string out = "RIFF";
    put(out, 36 + dataSize, 4);
    out += "WAVEfmt ";
    put(out, 16, 4);
    put(out, 1, 2);
    put(out, static_cast<std::uint32_t>(channels), 2);
    put(out, rate, 4);
    put(out, rate * channels * 2, 4);
    put(out, static_cast<std::uint32_t>(channels * 2), 2);
    put(out, 16, 2);
    out += "data";
    put(out, dataSize, 4);
    for (float value : interleaved) {
        const long sample = std::lround(std::clamp(value, -1.0f, 32767.0f / 32768.0f) * 32768.0f);
        put(out, static_cast<std::uint32_t>(static_cast<std::int16_t>(sample)) & 0xffff, 2);
    }
    return out;
}

}  // namespace feltrix::testing
