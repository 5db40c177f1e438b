#pragma once
// The Win32 main window: class "win32app", title "Feltrix", 512 x 216 pixels,
// the GUI font and the File menu. Script-created controls are its children;
// its window procedure hands menu commands and control notifications to the
// script and paints the script's rectangles.
#include <windows.h>

namespace feltrix {


// The program's icon in its resources.
constexpr int kProgramIconResource = 103;

// Registers the class, creates the window with its font and menu, and makes
// it the window of the script GUI (and the owner of modal windows). On
// failure shows why and returns null.
HWND createMainWindow(HINSTANCE instance);

class Win32WindowSystem;

// The main window and its window system (null before createMainWindow
// succeeded).
HWND mainWindowHandle();
Win32WindowSystem* mainWindowSystem();

// Keyboard navigation between the script's controls, for the message loop
// before it translates and dispatches `message`: Tab and Shift-Tab move the
// focus to the next or previous control in creation order (buttons, check
// boxes, sliders, drop-down lists; labels are skipped). Returns true when it
// handled the message. Only Tab goes to the dialog manager, so Enter, Escape,
// the arrow keys and letters do what they did without it; Space on a focused
// button or check box clicks it by itself.
bool moveFocusOnTab(MSG& message);
// Called after each message: notes which of the window's controls has the
// keyboard focus, so that restoreFocusedControl() can give it back when the
// window has the focus again (after another program's window had it).
void rememberFocusedControl();
bool restoreFocusedControl();

// The window procedure registered with the class.
LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace feltrix
