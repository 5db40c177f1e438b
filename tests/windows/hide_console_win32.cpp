// Hides, through wine (unmapped X windows come back), the consoles Feltrix.exe programs opened over
// their main window, for the window tests. Exit code: 0 when one was hidden, 1 otherwise.
#include <windows.h>

#include <cwchar>

// Hides a visible window whose title ends in Feltrix.exe and notes it in *hidden.
static BOOL CALLBACK hideConsole(HWND window, LPARAM hidden) {
    wchar_t title[512] = {};
    const int length = GetWindowTextW(window, title, 512), suffix = 11;  // "Feltrix.exe"
    if (IsWindowVisible(window) && length >= suffix && _wcsicmp(title + length - suffix, L"Feltrix.exe") == 0) {
        ShowWindow(window, SW_HIDE);
        *reinterpret_cast<bool*>(hidden) = true;
    }
    return TRUE;
}

int main() {
    bool hidden = false;
    EnumWindows(hideConsole, reinterpret_cast<LPARAM>(&hidden));
    return hidden ? 0 : 1;
}
