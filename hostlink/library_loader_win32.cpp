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
    return wideToUtf8(moduleFileName(library));
}

void* findLibraryExport(LibraryHandle library, const char* name) {
    if (library == nullptr) return nullptr;
    return reinterpret_cast<void*>(GetProcAddress(reinterpret_cast<HMODULE>(library), name));
}

}  // namespace feltrix
