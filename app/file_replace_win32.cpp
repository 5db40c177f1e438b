// Replacing a file's content without ever leaving it half written (Windows):
// a temporary file in the same folder, flushed, then moved over the old one.
// The descriptor is the C runtime's, opened through the file's wide name.
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <string>

#include "app/file_replace.h"
#include "common/text_win32.h"

namespace feltrix {
namespace {

bool writeAll(int fd, const char* data, size_t size) {
    while (size > 0) {
        const unsigned chunk = size > 0x40000000u ? 0x40000000u : static_cast<unsigned>(size);
        const int n = _write(fd, data, chunk);
        if (n == 0) errno = ENOSPC;  // a write that makes no progress: the disk is full
        if (n <= 0) return false;
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

}  // namespace

bool beginFileReplacement(const std::string& path, FileReplacement& replacement, std::string& error) {
    static std::atomic<unsigned> counter{0};
    replacement.path = path;
    replacement.temporaryPath =
        path + ".saving-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(counter++);
    replacement.descriptor = _wopen(utf8ToWide(replacement.temporaryPath).c_str(),
                                    _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
    if (replacement.descriptor < 0) {
        error = std::strerror(errno);
        return false;
    }
    return true;
}

bool commitFileReplacement(FileReplacement& replacement) {
    bool ok = _commit(replacement.descriptor) == 0;
    ok = (_close(replacement.descriptor) == 0) && ok;
    replacement.descriptor = -1;
    const std::wstring temporary = utf8ToWide(replacement.temporaryPath);
    if (ok) {
        ok = MoveFileExW(temporary.c_str(), utf8ToWide(replacement.path).c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
        if (!ok) errno = EACCES;  // the file in the way could not be replaced
    }
    if (!ok) _wunlink(temporary.c_str());
    return ok;
}

void abandonFileReplacement(FileReplacement& replacement) {
    if (replacement.descriptor >= 0) _close(replacement.descriptor);
    replacement.descriptor = -1;
    _wunlink(utf8ToWide(replacement.temporaryPath).c_str());
}

bool writeFileReplacement(FileReplacement& replacement, const char* data, size_t size) {
    return writeAll(replacement.descriptor, data, size);
}

}  // namespace feltrix
