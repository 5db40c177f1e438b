// FileByteSource on Linux: stdio with 64-bit offsets.
#include "audio/byte_source.h"
#include "common/file_open.h"

namespace feltrix {

std::unique_ptr<FileByteSource> FileByteSource::open(const char* path) {
    // Only regular files are sound files: a folder has no bytes to give, and
    // a FIFO or a device would hold the load until something writes to it.
    std::FILE* file = openRegularFile(path, "rb");
    if (!file) {
        return nullptr;
    }
    return std::unique_ptr<FileByteSource>(new FileByteSource(file));
}

FileByteSource::~FileByteSource() { std::fclose(file_); }

std::size_t FileByteSource::read(void* buffer, std::size_t size) {
    return std::fread(buffer, 1, size, file_);
}

bool FileByteSource::seek(std::int64_t offset, int whence) {
    return fseeko(file_, static_cast<off_t>(offset), whence) == 0;
}

std::int64_t FileByteSource::tell() {
    return static_cast<std::int64_t>(ftello(file_));
}

}  // namespace feltrix
