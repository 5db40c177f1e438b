// "InstallPath" under HKEY_CURRENT_USER\Software\Brosvane\Feltrix: the full
// path of the running executable, REG_SZ with its terminating zero counted.
#include <windows.h>

#include <string>

#include "app/install_path.h"
#include "common/text_win32.h"

namespace feltrix {
void recordInstallPath() {
    const std::wstring path = moduleFileName(nullptr);
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
