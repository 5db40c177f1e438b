#include "audio/byte_source.h"

#include <cstring>

namespace feltrix {

std::size_t MemoryByteSource::read(void* buffer, std::size_t size) {
    std::size_t left = size_ - position_;
    std::size_t n = size < left ? size : left;
    if (n > 0) {
        std::memcpy(buffer, data_ + position_, n);
        position_ += n;
    }
    return n;
}

bool MemoryByteSource::seek(std::int64_t offset, int whence) {
    std::int64_t base = 0;
    if (whence == SEEK_CUR) {
        base = static_cast<std::int64_t>(position_);
    } else if (whence == SEEK_END) {
        base = static_cast<std::int64_t>(size_);
    } else if (whence != SEEK_SET) {
        return false;
    }
    // Offsets come from file contents: refuse anything outside the data
    // before adding, so the sum cannot overflow.
    if (offset < -base || offset > static_cast<std::int64_t>(size_) - base) {
        return false;
    }
    position_ = static_cast<std::size_t>(base + offset);
    return true;
}

std::int64_t remainingBytes(ByteSource& source) {
    std::int64_t here = source.tell();
    if (here < 0 || !source.seek(0, SEEK_END)) {
        return -1;
    }
    std::int64_t end = source.tell();
    if (!source.seek(here, SEEK_SET) || end < here) {
        return -1;
    }
    return end - here;
}

}  // namespace feltrix
