#include "audio/frame_pieces.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace feltrix {

std::size_t FramePieces::room(float** writers) {
    const std::size_t used = static_cast<std::size_t>(frames_ % kPieceFrames);
    if (used == 0 && !pieces_.empty() && pieces_[0].size() * kPieceFrames == frames_) {
        // Every piece is full: one more per channel.
        try {
            for (auto& channel : pieces_) {
                channel.emplace_back(new float[kPieceFrames]);
            }
        } catch (const std::bad_alloc&) {
            return 0;
        }
    }
    for (std::size_t c = 0; c < pieces_.size(); ++c) {
        writers[c] = pieces_[c].back().get() + used;
    }
    return kPieceFrames - used;
}

void FramePieces::moveChannelTo(int channel, float* out) {
    auto& pieces = pieces_[static_cast<std::size_t>(channel)];
    std::uint64_t left = frames_;
    for (auto& piece : pieces) {
        const std::size_t count = static_cast<std::size_t>(std::min<std::uint64_t>(left, kPieceFrames));
        std::memcpy(out, piece.get(), count * sizeof(float));
        out += count;
        left -= count;
        piece.reset();
    }
    pieces.clear();
    pieces.shrink_to_fit();
}

}  // namespace feltrix
