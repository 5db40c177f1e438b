#include "common/file_open.h"
#include "common/text_win32.h"

#include <io.h>
#include <windows.h>

namespace feltrix {

// An ordinary open does not wait on Windows (a busy named pipe fails at
// once); what must be kept out is anything but a file on a disk.
std::FILE* openRegularFile(const char* path, const char* mode) {
    std::FILE* file = _wfopen(utf8ToWide(path).c_str(), utf8ToWide(mode).c_str());
    if (file == nullptr) return nullptr;
    const HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)));
    if (GetFileType(handle) != FILE_TYPE_DISK) {
        std::fclose(file);
        return nullptr;
    }
    return file;
}

bool canOpenForReading(const char* path) {
    std::FILE* file = _wfopen(utf8ToWide(path).c_str(), L"r");
    if (file == nullptr) return false;
    std::fclose(file);
    return true;
}

std::FILE* openFile(const char* path, const char* mode) {
    return _wfopen(utf8ToWide(path).c_str(), utf8ToWide(mode).c_str());
}

}  // namespace feltrix
