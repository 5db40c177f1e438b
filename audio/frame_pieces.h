#pragma once
// Decoded frames of a few channels, gathered while a decoder produces them
// and nobody knows yet how many there will be. They are kept in pieces of a
// fixed size, so growing never moves or copies what is already there; at the
// end each channel is copied into an array of the exact size, and its pieces
// are freed as they are copied, so the frames are held at most about one and
// a half times over.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace feltrix {

class FramePieces {
public:
    static constexpr std::size_t kPieceFrames = 65536;

    explicit FramePieces(int channels) : pieces_(static_cast<std::size_t>(channels)) {}

    // Where the next frames go: writers[c] receives channel c's next frames,
    // at most as many as returned. 0 when memory runs out.
    std::size_t room(float** writers);
    // The first `frames` frames of the room are written.
    void commit(std::size_t frames) { frames_ += frames; }
    std::uint64_t frames() const { return frames_; }
    // Copies every frame of `channel` to out[0 .. frames()) and frees that
    // channel's pieces.
    void moveChannelTo(int channel, float* out);

private:
    std::vector<std::vector<std::unique_ptr<float[]>>> pieces_;  // per channel
    std::uint64_t frames_ = 0;
};

}  // namespace feltrix
