// FileByteSource on Linux: stdio with 64-bit offsets.
#include <sys/stat.h>

#include "audio/byte_source.h"

namespace feltrix {

std::unique_ptr<FileByteSource> FileByteSource::open(const char* path) {
    std::FILE* file = std::fopen(path, "rb");
    if (!file) {
        return nullptr;
    }
    // A folder opens for reading here but has no bytes to give (and claims an
    // absurd size when asked for its end): only regular files are sound files.
    struct stat info;
    if (fstat(fileno(file), &info) != 0 || !S_ISREG(info.st_mode)) {
        std::fclose(file);
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
