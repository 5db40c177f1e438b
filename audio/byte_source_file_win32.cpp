// FileByteSource on Windows: the path is UTF-8 (as scripts give it) and is
// opened through the wide call, with 64-bit offsets.
#include <sys/stat.h>

#include "audio/byte_source.h"
#include "common/text_win32.h"

namespace feltrix {

std::unique_ptr<FileByteSource> FileByteSource::open(const char* path) {
    std::FILE* file = _wfopen(utf8ToWide(path).c_str(), L"rb");
    if (!file) {
        return nullptr;
    }
    // Only regular files are sound files.
    struct _stati64 info;
    if (_fstati64(_fileno(file), &info) != 0 || (info.st_mode & _S_IFMT) != _S_IFREG) {
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
    return _fseeki64(file_, offset, whence) == 0;
}

std::int64_t FileByteSource::tell() {
    return _ftelli64(file_);
}

}  // namespace feltrix
