#include "gui/main_window_win32.h"

#include <commctrl.h>

#include "gui/item_registry.h"
#include "gui/menu_commands.h"
#include "gui/system_error_win32.h"
#include "gui/window_system_win32.h"

namespace feltrix {
namespace {

constexpr int kOuterWidth = 512;
constexpr int kOuterHeight = 216;
const wchar_t kClassName[] = L"win32app";

HWND theMainWindow = nullptr;
HWND theFocusedControl = nullptr;  // the control last seen with the keyboard focus
Win32WindowSystem* theWindowSystem = nullptr;

// The File menu, in its order; a null text is a separator.
struct MenuEntry {
    const char* text;
    UINT_PTR command;
};
constexpr MenuEntry kFileMenu[] = {
    {"Load Configuration...", kLoadConfigurationCommand},
    {"Save Configuration...", kSaveConfigurationCommand},
    {nullptr, 0},
    {"Open Custom Script...", kOpenCustomScriptCommand},
    {nullptr, 0},
    {"Exit", kExitCommand},
};

// "Segoe UI", 16 pixels high, normal weight (the system substitutes a face
// where it has none of that name).
HFONT createGuiFont() {
    return CreateFontW(16, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, L"Segoe UI");
}

void attachFileMenu(HWND window) {
    HMENU bar = CreateMenu();
    HMENU file = CreatePopupMenu();
    for (const MenuEntry& entry : kFileMenu) {
        if (entry.text == nullptr) {
            AppendMenuA(file, MF_SEPARATOR, 0, nullptr);
        } else {
            AppendMenuA(file, MF_STRING, entry.command, entry.text);
        }
    }
    AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), "File");
    SetMenu(window, bar);
    DrawMenuBar(window);
}

}  // namespace

HWND mainWindowHandle() { return theMainWindow; }

bool moveFocusOnTab(MSG& message) {
    if (theMainWindow == nullptr || message.message != WM_KEYDOWN || message.wParam != VK_TAB) return false;
    if (!IsDialogMessageW(theMainWindow, &message)) return false;
    // From now on the controls show which one has the focus.
    SendMessageW(theMainWindow, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
    return true;
}
void rememberFocusedControl() {
    const HWND focused = GetFocus();
    if (theMainWindow != nullptr && focused != nullptr && IsChild(theMainWindow, focused)) theFocusedControl = focused;
}

bool restoreFocusedControl() {
    if (theFocusedControl == nullptr || !IsWindow(theFocusedControl) || !IsChild(theMainWindow, theFocusedControl))
        return false;
    SetFocus(theFocusedControl);
    return true;
}

Win32WindowSystem* mainWindowSystem() { return theWindowSystem; }

HWND createMainWindow(HINSTANCE instance) {
    INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);

    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = mainWindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(kProgramIconResource));
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW));
    windowClass.lpszClassName = kClassName;
    if (RegisterClassExW(&windowClass) == 0) {
        reportLastError("Feltrix could not register the main window");
        return nullptr;
    }
    HWND window = CreateWindowExW(0, kClassName, L"Feltrix", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                                  kOuterWidth, kOuterHeight, nullptr, nullptr, instance, nullptr);
    if (window == nullptr) {
        reportLastError("Feltrix could not create the main window");
        return nullptr;
    }
    theMainWindow = window;
    HFONT font = createGuiFont();
    SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    attachFileMenu(window);
    // Lives as long as the process, like the window.
    theWindowSystem = new Win32WindowSystem(window, font);
    guiItems().setWindowSystem(theWindowSystem);
    return window;
}

}  // namespace feltrix
