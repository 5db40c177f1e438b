#include "tests/audio/audio_test_files.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <optional>

#include <gtest/gtest.h>

#include "audio/byte_source.h"
#include "audio/wav_reader.h"
#include "tests/support/test_support.h"

namespace feltrix::testing {

bool runCommand(const std::string& commandLine) {
    return std::system((commandLine + " >/dev/null 2>&1").c_str()) == 0;
}

namespace {

// A reference decoder's 16-bit WAV, read with our WAV reader (whose exactness the WAV tests establish).
Interleaved readReferenceWav(const std::string& command, const std::string& wavPath) {
    Interleaved result;
    if (!runCommand(command)) return result;
    const std::string bytes = readFile(wavPath);
    MemoryByteSource source(bytes.data(), bytes.size());
    NewVoices voices;
    if (bytes.empty() || readWavFile(source, voices) != nullptr || voices.size() == 0) return result;
    result.channels = static_cast<int>(voices.size());
    result.sampleRate = static_cast<int>(voices[0]->sourceRate);
    for (std::uint64_t f = 0; f < voices[0]->sampleCount; ++f)
        for (const AudioChannel* voice : voices.voices()) result.samples.push_back(voice->samples[f]);
    return result;
}

}  // namespace

Interleaved referenceDecode(const std::string& path, const std::string& workDir) {
    const std::string wav = workDir + "/reference-decoded.wav";
    const bool mp3 = path.size() > 4 && path.compare(path.size() - 4, 4, ".mp3") == 0;
    return readReferenceWav(mp3 ? "lame --quiet --decode '" + path + "' '" + wav + "'"
                                : "oggdec --quiet -b 16 -o '" + wav + "' '" + path + "'", wav);
}

std::string makeWav(const std::string& folder, const std::string& name, int channels, int rate, double seconds) {
    const std::string wav = folder + "/" + name + ".wav";
    runCommand("sox -R -n -r " + std::to_string(rate) + " -c " + std::to_string(channels) + " -b 16 '" + wav +
               "' synth " + std::to_string(seconds) + " sine 440 sine 1250 vol 0.5");
    return wav;
}

std::string makeOgg(const std::string& folder, const std::string& name, int channels, int rate, double seconds) {
    const std::string ogg = folder + "/" + name + ".ogg", wav = makeWav(folder, name, channels, rate, seconds);
    return runCommand("oggenc -Q -q 3 -o '" + ogg + "' '" + wav + "'"), ogg;
}
std::string makeMp3(const std::string& folder, const std::string& name, int channels, int rate, double seconds) {
    const std::string mp3 = folder + "/" + name + ".mp3", wav = makeWav(folder, name, channels, rate, seconds);
    return runCommand("lame --quiet --noreplaygain -b 128 '" + wav + "' '" + mp3 + "'"), mp3;
}

std::string le16(std::uint16_t v) { return std::string{static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)}; }

std::string le32(std::uint32_t v) {
    return le16(static_cast<std::uint16_t>(v & 0xFFFF)) + le16(static_cast<std::uint16_t>(v >> 16));
}

std::string chunk(const std::string& id, const std::string& body, std::optional<std::uint32_t> declaredSize) {
    const auto size = declaredSize.value_or(static_cast<std::uint32_t>(body.size()));
    return id + le32(size) + body + (body.size() % 2 == 1 && size == body.size() ? std::string(1, '\0') : "");
}

std::string riffWave(const std::string& chunks) {
    return "RIFF" + le32(static_cast<std::uint32_t>(4 + chunks.size())) + "WAVE" + chunks;
}

std::string fmtBody(std::uint16_t tag, std::uint16_t channels, std::uint32_t rate, std::uint16_t blockAlign,
                    std::uint16_t bits) {
    return le16(tag) + le16(channels) + le32(rate) + le32(rate * blockAlign) + le16(blockAlign) + le16(bits);
}

std::string wavFile16(const std::vector<float>& interleaved, int channels, std::uint32_t rate) {
    std::string data;
    for (float value : interleaved)
        data += le16(static_cast<std::uint16_t>(std::lround(std::clamp(value, -1.0f, 32767.0f / 32768.0f) * 32768.0f)));
    const auto align = static_cast<std::uint16_t>(2 * channels);
    return riffWave(chunk("fmt ", fmtBody(1, static_cast<std::uint16_t>(channels), rate, align, 16)) +
                    chunk("data", data));
}

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
    for (std::size_t i = 0; i < frames; ++i)
        out[i] = amplitude * static_cast<float>(std::sin(2.0 * M_PI * hz * static_cast<double>(i) / rate));
    return out;
}

}  // namespace feltrix::testing
