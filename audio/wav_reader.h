#pragma once
// Reading RIFF WAVE files: the chunk list is walked to the "fmt " and "data"
// chunks, so files with longer format chunks or LIST/fact chunks before the
// data load as well as the canonical 44-byte layout.
#include <cstdint>
#include <vector>

#include "audio/byte_source.h"

namespace feltrix {

struct WavFormat {
    int channels = 0;            // 0..32767
    std::uint32_t sampleRate = 0;
    int blockAlign = 0;          // bytes per frame, at least channels x bytes per sample
    int bitsPerSample = 0;       // 8, 16 or 32
    std::uint64_t frames = 0;    // whole frames really present in the file
};

// Reads everything up to the sample data and leaves the source there.
// Returns null on success, otherwise the load-failure text.
const char* readWavHeader(ByteSource& source, WavFormat& format);

// Reads format.frames frames from the source (placed by readWavHeader) into
// one array per channel, each of format.frames floats in -1..+1. Returns the
// frames actually read (fewer only when the file shrank meanwhile).
std::uint64_t readWavFrames(ByteSource& source, const WavFormat& format, float* const* voices);

// Converts `frames` interleaved frames of `data` (blockAlign bytes each).
void convertWavFrames(const std::uint8_t* data, std::uint64_t frames, const WavFormat& format,
                      float* const* voices, std::uint64_t firstFrame);

// Load-time panning of channel `index` of a file with `channels` channels:
// a stereo pair goes fully left and right, anything else to the middle.
float wavChannelPanning(int index, int channels);

// The whole file into memory (tests, fuzzing, benchmarks).
struct DecodedWav {
    WavFormat format;
    std::vector<std::vector<float>> voices;
};
const char* decodeWav(ByteSource& source, DecodedWav& result);

}  // namespace feltrix
