// Loading libraries with LoadLibraryW. A bare file name uses the standard
// search order, in which the program's own folder comes first.
#include <windows.h>

#include <string>

#include "common/text_win32.h"
#include "hostlink/library_loader.h"

namespace feltrix {

const char* const kInterfaceLibraryFileName = "PELGRIN32.DLL";

LibraryHandle loadLibraryFile(const char* path, std::string* failures) {
    HMODULE library = LoadLibraryW(utf8ToWide(path).c_str());
    if (library == nullptr && failures != nullptr) {
        *failures += "\n  " + std::string(path) + ": " + wideToUtf8(systemMessage(GetLastError()));
    }
    return reinterpret_cast<LibraryHandle>(library);
}

LibraryHandle loadLibraryNextToProgram(const char* fileName, std::string* failures) {
    return loadLibraryFile(fileName, failures);
}

std::string libraryPath(LibraryHandle library) {
    if (library == nullptr) return {};
    std::wstring path(MAX_PATH, L'\0');
    const DWORD length = GetModuleFileNameW(reinterpret_cast<HMODULE>(library), path.data(),
                                            static_cast<DWORD>(path.size()));
    if (length == 0 || length >= path.size()) return {};
    path.resize(length);
    return wideToUtf8(path);
}

void* findLibraryExport(LibraryHandle library, const char* name) {
    if (library == nullptr) return nullptr;
    return reinterpret_cast<void*>(GetProcAddress(reinterpret_cast<HMODULE>(library), name));
}

}  // namespace feltrix
