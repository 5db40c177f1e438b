#pragma once
// Reading MP3 files with libmp3lame's hip decoder. The whole file is held in
// memory; a leading ID3v2 tag is skipped and decoding starts at the first
// plausible frame header. An MP3 always gives two voices, left and right.
#include <cstddef>
#include <cstdint>

#include "audio/byte_source.h"
#include "audio/new_voices.h"

namespace feltrix {

// Where decoding starts: after an ID3v2 tag at the very start, at the first
// accepted frame header. Null on success, else the failure text.
const char* findMp3Start(const std::uint8_t* data, std::size_t size, std::size_t& start);

// Whether the four bytes at `b` are a frame header worth decoding from.
bool acceptableMp3Header(const std::uint8_t* b);

// Reads a whole MP3 file into two new voices, left (panning 0) and right
// (panning 1), both Loaded; a single-channel stream plays on both. Null on
// success, else the load-failure text; voices made before a failure are freed
// with `voices`.
const char* readMp3File(ByteSource& source, NewVoices& voices);

}  // namespace feltrix
