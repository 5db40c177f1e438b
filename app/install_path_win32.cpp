// "InstallPath" under HKEY_CURRENT_USER\Software\Brosvane\Feltrix: the full
// path of the running executable, REG_SZ with its terminating zero counted.
#include <windows.h>

#include <string>

#include "app/install_path.h"

namespace feltrix {
namespace {

// The executable's full path; empty when it cannot be read.
std::wstring executablePath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return {};
        // A full buffer may mean the path was cut: try again with more room.
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        if (path.size() >= 32768) return {};
        path.resize(path.size() * 2);
    }
}

}  // namespace

void recordInstallPath() {
    const std::wstring path = executablePath();
    if (path.empty()) return;
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Brosvane\\Feltrix", 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS) {
        return;
    }
    const DWORD bytes = static_cast<DWORD>((path.size() + 1) * sizeof(wchar_t));
    RegSetValueExW(key, L"InstallPath", 0, REG_SZ, reinterpret_cast<const BYTE*>(path.c_str()), bytes);
    RegCloseKey(key);
}

}  // namespace feltrix
