#include "common/file_open.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace feltrix {
namespace {

// O_NONBLOCK makes the open itself return at once whatever the file is.
int openWithoutWaiting(const char* path) { return open(path, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC); }

}  // namespace

std::FILE* openRegularFile(const char* path, const char* mode) {
    const int fd = openWithoutWaiting(path);
    if (fd < 0) return nullptr;
    struct stat info {};
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        close(fd);
        return nullptr;
    }
    // Reads of a regular file never wait anyway; clear the flag all the same.
    const int flags = fcntl(fd, F_GETFL);
    if (flags >= 0) fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    std::FILE* file = fdopen(fd, mode);
    if (file == nullptr) close(fd);
    return file;
}

bool canOpenForReading(const char* path) {
    const int fd = openWithoutWaiting(path);
    if (fd < 0) return false;
    close(fd);
    return true;
}

std::FILE* openFile(const char* path, const char* mode) { return std::fopen(path, mode); }

}  // namespace feltrix
