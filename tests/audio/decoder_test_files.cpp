#include "tests/audio/decoder_test_files.h"

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>

#include "audio/byte_source.h"
#include "audio/wav_reader.h"

namespace feltrix::testing {

bool runCommand(const std::string& commandLine) {
    return std::system((commandLine + " >/dev/null 2>&1").c_str()) == 0;
}

std::string fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

Interleaved soxDecode(const std::string& path, int channels, int sampleRate) {
    // 64-bit floats: sox converts to them without rounding, so the value
    // rounded to single precision is the exact reference.
    const std::string raw = path + ".sox.f64";
    Interleaved result;
    result.channels = channels;
    result.sampleRate = sampleRate;
    if (!runCommand("sox '" + path + "' -t raw -e floating-point -b 64 -L '" + raw + "'")) {
        return result;
    }
    const std::string bytes = fileBytes(raw);
    result.samples.resize(bytes.size() / 8);
    for (std::size_t i = 0; i < result.samples.size(); ++i) {
        std::uint64_t bits = 0;
        for (int b = 7; b >= 0; --b) {
            bits = (bits << 8) | static_cast<std::uint8_t>(bytes[i * 8 + static_cast<std::size_t>(b)]);
        }
        double value;
        static_assert(sizeof value == sizeof bits);
        std::memcpy(&value, &bits, sizeof value);
        result.samples[i] = static_cast<float>(value);
    }
    return result;
}

namespace {

// Reads a 16-bit WAV written by a reference decoder with our WAV reader, whose
// exactness the WAV tests establish against sox.
Interleaved readReferenceWav(const std::string& wavPath) {
    Interleaved result;
    const std::string bytes = fileBytes(wavPath);
    MemoryByteSource source(bytes.data(), bytes.size());
    DecodedWav wav;
    if (bytes.empty() || decodeWav(source, wav) != nullptr) {
        return result;
    }
    result.channels = wav.format.channels;
    result.sampleRate = static_cast<int>(wav.format.sampleRate);
    for (std::uint64_t f = 0; f < wav.format.frames; ++f) {
        for (const auto& voice : wav.voices) {
            result.samples.push_back(voice[static_cast<std::size_t>(f)]);
        }
    }
    return result;
}

}  // namespace

Interleaved lameDecode(const std::string& mp3Path, const std::string& workDir) {
    const std::string wav = workDir + "/lame-decoded.wav";
    if (!runCommand("lame --quiet --decode '" + mp3Path + "' '" + wav + "'")) {
        return {};
    }
    return readReferenceWav(wav);
}

Interleaved oggdecDecode(const std::string& oggPath, const std::string& workDir) {
    const std::string wav = workDir + "/oggdec-decoded.wav";
    if (!runCommand("oggdec --quiet -b 16 -o '" + wav + "' '" + oggPath + "'")) {
        return {};
    }
    return readReferenceWav(wav);
}

std::string makeWav(const std::string& folder, const std::string& name, int channels, int rate, double seconds) {
    const std::string wav = folder + "/" + name + ".wav";
    runCommand("sox -R -n -r " + std::to_string(rate) + " -c " + std::to_string(channels) + " -b 16 '" + wav +
               "' synth " + std::to_string(seconds) + " sine 440 sine 1250 vol 0.5");
    return wav;
}

std::string makeOgg(const std::string& folder, const std::string& name, int channels, int rate, double seconds) {
    const std::string ogg = folder + "/" + name + ".ogg";
    runCommand("oggenc -Q -q 3 -o '" + ogg + "' '" + makeWav(folder, name, channels, rate, seconds) + "'");
    return ogg;
}

std::string makeMp3(const std::string& folder, const std::string& name, int channels, int rate, double seconds) {
    const std::string mp3 = folder + "/" + name + ".mp3";
    runCommand("lame --quiet --noreplaygain -b 128 '" + makeWav(folder, name, channels, rate, seconds) + "' '" +
               mp3 + "'");
    return mp3;
}

std::string le16(std::uint16_t v) {
    return std::string{static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)};
}

std::string le32(std::uint32_t v) {
    return le16(static_cast<std::uint16_t>(v & 0xFFFF)) + le16(static_cast<std::uint16_t>(v >> 16));
}

std::string chunk(const std::string& id, const std::string& body, std::uint32_t declaredSize) {
    std::string out = id + le32(declaredSize) + body;
    if (body.size() % 2 == 1 && declaredSize == body.size()) {
        out += '\0';
    }
    return out;
}

std::string chunk(const std::string& id, const std::string& body) {
    return chunk(id, body, static_cast<std::uint32_t>(body.size()));
}

std::string riffWave(const std::string& chunks) {
    return "RIFF" + le32(static_cast<std::uint32_t>(4 + chunks.size())) + "WAVE" + chunks;
}

std::string fmtBody(std::uint16_t tag, std::uint16_t channels, std::uint32_t rate,
                    std::uint16_t blockAlign, std::uint16_t bits) {
    return le16(tag) + le16(channels) + le32(rate) + le32(rate * blockAlign) + le16(blockAlign) + le16(bits);
}

}  // namespace feltrix::testing
