#include "gui/system_error_win32.h"

#include "common/text_win32.h"
#include "gui/modal_ui.h"

namespace feltrix {

std::string systemErrorText(DWORD code, const std::string& context) {
    wchar_t* systemText = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
        MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<wchar_t*>(&systemText), 0, nullptr);
    std::string text = context + ": error " + std::to_string(static_cast<int>(code)) + ": ";
    if (length > 0 && systemText != nullptr) text += wideToUtf8(std::wstring(systemText, length));
    if (systemText != nullptr) LocalFree(systemText);
    return text;
}

void showSystemError(DWORD code, const std::string& context) {
    showMessageBox("Error", systemErrorText(code, context), false);
}

void reportLastError(const std::string& context) {
    const DWORD code = GetLastError();
    if (code == 0) {
        showMessageBox("Error", context, false);
    } else {
        showSystemError(code, context);
    }
}

}  // namespace feltrix
