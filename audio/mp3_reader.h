#pragma once
// Reading MP3 files with libmp3lame's hip decoder. The whole file is held in
// memory; a leading ID3v2 tag is skipped and decoding starts at the first
// plausible frame header. An MP3 always gives two voices, left and right.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "audio/byte_source.h"
#include "audio/frame_pieces.h"

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

// Decodes data[0..size) in one pass into `frames` (two channels, left and
// right; a single-channel stream goes to both) and sets the sample rate from
// the decoder's header information (0 if it gave none). Null on success,
// else the failure text.
const char* decodeMp3Frames(const std::uint8_t* data, std::size_t size, FramePieces& frames, int& sampleRate);

// The whole file into memory (tests, fuzzing, benchmarks).
struct DecodedMp3 {
    int sampleRate = 0;
    std::vector<float> left, right;
};
const char* decodeMp3(ByteSource& source, DecodedMp3& result);

}  // namespace feltrix
