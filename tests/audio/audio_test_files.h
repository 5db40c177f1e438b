#pragma once
// Sounds for the audio tests: files made with sox, lame and oggenc, reference decodings by lame and
// oggdec, hand-made WAV files, and channels made in memory.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "audio/audio_channel.h"

namespace feltrix::testing {

// Runs a shell command line (output discarded); true when it exited with 0.
bool runCommand(const std::string& commandLine);

struct Interleaved {
    int channels = 0;
    int sampleRate = 0;
    std::vector<float> samples;
    std::size_t frames() const { return channels ? samples.size() / channels : 0; }
    float at(std::size_t frame, int channel) const { return samples[frame * channels + channel]; }
};

// What `lame --decode` / oggdec make of a file (their 16-bit WAV read back).
Interleaved referenceDecode(const std::string& path, const std::string& workDir);

// `folder`/`name`.wav with `seconds` of a two-tone chord, and from it `name`.ogg or `name`.mp3.
std::string makeWav(const std::string& folder, const std::string& name, int channels, int rate, double seconds);
std::string makeOgg(const std::string& folder, const std::string& name, int channels, int rate, double seconds);
std::string makeMp3(const std::string& folder, const std::string& name, int channels, int rate, double seconds);

// Little-endian fields, RIFF chunks and a 16-byte PCM "fmt " body for hand-made WAV files.
std::string le16(std::uint16_t v);
std::string le32(std::uint32_t v);
std::string riffWave(const std::string& chunks);
std::string chunk(const std::string& id, const std::string& body, std::optional<std::uint32_t> size = {});
std::string fmtBody(std::uint16_t tag, std::uint16_t channels, std::uint32_t rate, std::uint16_t blockAlign,
                    std::uint16_t bits);
// A 16-bit PCM WAV file of `interleaved` values in -1..1.
std::string wavFile16(const std::vector<float>& interleaved, int channels, std::uint32_t rate);

// A loaded channel holding `samples` at `sourceRate` (panning 0.5, volume 0).
AudioChannel* makeChannel(const std::vector<float>& samples, std::uint32_t sourceRate);
std::vector<float> sine(double hz, std::uint32_t rate, std::size_t frames, float amplitude = 1.0f);

}  // namespace feltrix::testing
