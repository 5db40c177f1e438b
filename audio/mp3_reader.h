#pragma once
// Reading MP3 files with libmp3lame's hip decoder. The whole file is held in
// memory; a leading ID3v2 tag is skipped and decoding starts at the first
// plausible frame header. An MP3 always gives two voices, left and right.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "audio/byte_source.h"

namespace feltrix {

// The remaining bytes of the source; null on success, else the failure text.
const char* readWholeSource(ByteSource& source, std::vector<std::uint8_t>& data);

// Where decoding starts: after an ID3v2 tag at the very start, at the first
// accepted frame header. Null on success, else the failure text.
const char* findMp3Start(const std::uint8_t* data, std::size_t size, std::size_t& start);

// Whether the four bytes at `b` are a frame header worth decoding from.
bool acceptableMp3Header(const std::uint8_t* b);

// Sample rate in Hz named by an accepted frame header.
int mp3HeaderSampleRate(const std::uint8_t* b);

// One pass of the decoder over data[0..size). With null outputs it only
// counts frames; otherwise it writes at most `capacity` frames to left and
// right (a single-channel stream goes to both). Null on success, else the
// failure text.
struct Mp3PassResult {
    std::uint64_t frames = 0;
    int sampleRate = 0;  // from the decoder's header information, 0 if none
};
const char* runMp3Pass(const std::uint8_t* data, std::size_t size, float* left, float* right,
                       std::uint64_t capacity, Mp3PassResult& result);

// The whole file into memory (tests, fuzzing, benchmarks).
struct DecodedMp3 {
    int sampleRate = 0;
    std::vector<float> left, right;
};
const char* decodeMp3(ByteSource& source, DecodedMp3& result);

}  // namespace feltrix
