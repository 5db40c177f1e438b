// Hides the console windows that programs named Feltrix.exe opened at start,
// so that the window tests see and click the main window they lie over.
// Hiding through wine itself (not by unmapping X windows) keeps wine from
// showing them again. Exit code: 0 when one was hidden, 1 otherwise.
#include <windows.h>

#include <cwchar>

namespace {

BOOL CALLBACK hideConsole(HWND window, LPARAM hidden) {
    wchar_t title[512] = {};
    GetWindowTextW(window, title, 512);
    const std::size_t length = std::wcslen(title);
    const wchar_t suffix[] = L"Feltrix.exe";
    const std::size_t suffixLength = std::wcslen(suffix);
    if (IsWindowVisible(window) && length >= suffixLength &&
        _wcsicmp(title + length - suffixLength, suffix) == 0) {
        ShowWindow(window, SW_HIDE);
        *reinterpret_cast<bool*>(hidden) = true;
    }
    return TRUE;
}

}  // namespace

int main() {
    bool hidden = false;
    EnumWindows(hideConsole, reinterpret_cast<LPARAM>(&hidden));
    return hidden ? 0 : 1;
}
