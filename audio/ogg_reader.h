#pragma once
// Reading Ogg Vorbis streams through libvorbisfile over a ByteSource.
//
// A chained file (several streams one after another) is played as far as its
// links keep the first link's channel count and rate: a link with another
// layout ends the sound there, so every decoded block fits the voices made
// for the first link.
#include <cstdint>
#include <memory>
#include <string>

#include <vorbis/vorbisfile.h>

#include "audio/byte_source.h"

namespace feltrix {

class OggStream {
public:
    OggStream();
    ~OggStream();  // releases the decoder state and closes the source
    OggStream(const OggStream&) = delete;
    OggStream& operator=(const OggStream&) = delete;

    // Opens the stream. On success the stream owns the source; on failure the
    // source is closed here as well. Returns null or the load-failure text.
    const char* open(std::unique_ptr<ByteSource> source);

    int channels() const { return channels_; }
    std::uint32_t sampleRate() const { return sampleRate_; }
    // Frames of the links that are played (all links of one layout).
    std::uint64_t totalFrames() const { return totalFrames_; }
    // Empty when every link is played; otherwise says which were left out
    // and why, for one line on the console.
    const std::string& unplayedLinksNote() const { return unplayedLinksNote_; }

    // Decodes up to maxFrames frames: > 0 frames in pcm[0 .. channels()-1],
    // 0 at the end of the sound, or a negative libvorbisfile code.
    long read(float**& pcm, int maxFrames);

    // Releases the decoder state and closes the source (also on destruction).
    void close();

private:
    OggVorbis_File file_;
    bool open_ = false;
    int channels_ = 0;
    std::uint32_t sampleRate_ = 0;
    int playedLinks_ = 0;
    std::uint64_t totalFrames_ = 0;
    std::string unplayedLinksNote_;
};

// The text for a failed decoding call (ov_read_float's negative result).
const char* oggDecodingErrorText(long code);

// Load-time panning of channel `index` in Vorbis channel order.
float oggChannelPanning(int index, int channels);

}  // namespace feltrix
