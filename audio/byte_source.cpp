#include "audio/byte_source.h"

#include <cstring>

#ifndef _WIN32
#include <sys/stat.h>
#endif

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

std::unique_ptr<FileByteSource> FileByteSource::open(const char* path) {
    std::FILE* file = std::fopen(path, "rb");
    if (!file) {
        return nullptr;
    }
#ifndef _WIN32
    // A folder opens for reading here but has no bytes to give (and claims an
    // absurd size when asked for its end): only regular files are sound files.
    struct stat info;
    if (fstat(fileno(file), &info) != 0 || !S_ISREG(info.st_mode)) {
        std::fclose(file);
        return nullptr;
    }
#endif
    return std::unique_ptr<FileByteSource>(new FileByteSource(file));
}

FileByteSource::~FileByteSource() { std::fclose(file_); }

std::size_t FileByteSource::read(void* buffer, std::size_t size) {
    return std::fread(buffer, 1, size, file_);
}

bool FileByteSource::seek(std::int64_t offset, int whence) {
#ifdef _WIN32
    return _fseeki64(file_, offset, whence) == 0;
#else
    return fseeko(file_, static_cast<off_t>(offset), whence) == 0;
#endif
}

std::int64_t FileByteSource::tell() {
#ifdef _WIN32
    return _ftelli64(file_);
#else
    return static_cast<std::int64_t>(ftello(file_));
#endif
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
