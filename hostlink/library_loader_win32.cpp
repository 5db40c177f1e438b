// Loading libraries with LoadLibraryW. A bare file name uses the standard
// search order, in which the program's own folder comes first.
#include <windows.h>

#include <string>

#include "common/win32_text.h"
#include "hostlink/library_loader.h"

namespace feltrix {
namespace {

std::string systemErrorText(DWORD code) {
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
        reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring message = length > 0 && text != nullptr ? std::wstring(text, length) : L"error " + std::to_wstring(code);
    if (text != nullptr) LocalFree(text);
    while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r')) message.pop_back();
    return wideToUtf8(message);
}

}  // namespace

const char* const kInterfaceLibraryFileName = "PELGRIN32.DLL";

LibraryHandle loadLibraryFile(const char* path, std::string* failures) {
    HMODULE library = LoadLibraryW(utf8ToWide(path).c_str());
    if (library == nullptr && failures != nullptr) {
        *failures += "\n  " + std::string(path) + ": " + systemErrorText(GetLastError());
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
