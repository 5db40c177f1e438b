// Replacing a file's content without ever leaving it half written.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "app/file_replace.h"

namespace feltrix {
namespace {

bool writeAll(int fd, const char* data, size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR) continue;
        if (n == 0) errno = ENOSPC;  // a write that makes no progress: the disk is full
        if (n <= 0) return false;
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

std::string folderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace

bool beginFileReplacement(const std::string& path, FileReplacement& replacement, std::string& error) {
    replacement.path = path;
    replacement.temporaryPath = path + ".saving-XXXXXX";
    replacement.descriptor = mkstemp(replacement.temporaryPath.data());
    if (replacement.descriptor < 0) {
        error = std::strerror(errno);
        return false;
    }
    // A new file gets the permissions an ordinary create would give it; a
    // replaced file keeps its own.
    struct stat existing {};
    mode_t mode;
    if (stat(path.c_str(), &existing) == 0) {
        mode = existing.st_mode & 07777;
    } else {
        const mode_t mask = umask(0);
        umask(mask);
        mode = 0666 & ~mask;
    }
    if (fchmod(replacement.descriptor, mode) != 0) {
        error = std::strerror(errno);
        abandonFileReplacement(replacement);
        return false;
    }
    return true;
}

bool commitFileReplacement(FileReplacement& replacement) {
    bool ok = fsync(replacement.descriptor) == 0;
    ok = (close(replacement.descriptor) == 0) && ok;
    replacement.descriptor = -1;
    if (ok) ok = rename(replacement.temporaryPath.c_str(), replacement.path.c_str()) == 0;
    if (!ok) {
        unlink(replacement.temporaryPath.c_str());
        return false;
    }
    // Make the rename itself durable.
    const int dir = open(folderOf(replacement.path).c_str(), O_RDONLY | O_DIRECTORY);
    if (dir >= 0) {
        fsync(dir);
        close(dir);
    }
    return true;
}

void abandonFileReplacement(FileReplacement& replacement) {
    if (replacement.descriptor >= 0) close(replacement.descriptor);
    replacement.descriptor = -1;
    unlink(replacement.temporaryPath.c_str());
}

bool writeFileReplacement(FileReplacement& replacement, const char* data, size_t size) {
    return writeAll(replacement.descriptor, data, size);
}

}  // namespace feltrix
