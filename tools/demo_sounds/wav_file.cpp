#include "tools/demo_sounds/wav_file.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace demosounds {
namespace {

void putU16(std::vector<unsigned char>& out, uint16_t value) {
    out.push_back(static_cast<unsigned char>(value & 0xFF));
    out.push_back(static_cast<unsigned char>(value >> 8));
}

void putU32(std::vector<unsigned char>& out, uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<unsigned char>((value >> shift) & 0xFF));
}

void putTag(std::vector<unsigned char>& out, const char* tag) { out.insert(out.end(), tag, tag + 4); }

}  // namespace

bool writeWav16(const std::string& path, const Sound& sound, std::string& error) {
    const uint32_t dataBytes = static_cast<uint32_t>(sound.samples.size() * 2);
    const uint16_t blockAlign = static_cast<uint16_t>(sound.channels * 2);

    std::vector<unsigned char> bytes;
    bytes.reserve(44 + dataBytes);
    putTag(bytes, "RIFF");
    putU32(bytes, 36 + dataBytes);
    putTag(bytes, "WAVE");
    putTag(bytes, "fmt ");
    putU32(bytes, 16);
    putU16(bytes, 1);  // PCM
    putU16(bytes, static_cast<uint16_t>(sound.channels));
    putU32(bytes, static_cast<uint32_t>(sound.sampleRate));
    putU32(bytes, static_cast<uint32_t>(sound.sampleRate) * blockAlign);
    putU16(bytes, blockAlign);
    putU16(bytes, 16);
    putTag(bytes, "data");
    putU32(bytes, dataBytes);
    for (float sample : sound.samples) {
        const float clipped = std::clamp(sample, -1.0f, 1.0f);
        const auto value = static_cast<int16_t>(std::lround(clipped * 32767.0f));
        putU16(bytes, static_cast<uint16_t>(value));
    }

    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        error = "cannot create " + path + ": " + std::strerror(errno);
        return false;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    const bool closed = std::fclose(file) == 0;
    if (!written || !closed) {
        error = "cannot write " + path;
        return false;
    }
    return true;
}

}  // namespace demosounds
