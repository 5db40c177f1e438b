// The main window's procedure: menu commands, control notifications and the
// painting of the script's rectangles.
#include <windows.h>
#include <commctrl.h>

#include "gui/gui_events.h"
#include "gui/item_registry.h"
#include "gui/menu_commands.h"
#include "gui/main_window_win32.h"
#include "gui/window_system_win32.h"

namespace feltrix {
namespace {

// The GUI lock: painting holds it while it reads the registry's rectangles.
HANDLE guiLock() {
    static HANDLE lock = CreateSemaphoreW(nullptr, 1, 1, nullptr);
    return lock;
}

// A control's notification. The id comes from the control's window, not from
// the 16-bit word of wParam, so controls report at every id.
void controlCommand(HWND control, WORD code) {
    const GuiItemId id = GetDlgCtrlID(control);
    const GuiItem* item = guiItems().findGuiItem(id);
    if (item == nullptr) return;
    switch (item->kind) {
        case GuiItemKind::PushButton:
            if (code == BN_CLICKED) deliverPushButtonClick(id);
            break;
        case GuiItemKind::Checkbox:
            if (code == BN_CLICKED) deliverCheckboxClick(id);
            break;
        case GuiItemKind::DropdownList:
            if (code == CBN_SELCHANGE) {
                const Win32WindowSystem* windows = mainWindowSystem();
                if (windows != nullptr) deliverDropdownListSelection(id, windows->listEntry(id, windows->listSelection(id)));
            }
            break;
        default:
            break;
    }
}

void sliderNotification(HWND control, WORD code) {
    if (control == nullptr || code > TB_ENDTRACK) return;
    const int position = static_cast<int>(SendMessageW(control, TBM_GETPOS, 0, 0));
    deliverSliderNotification(GetDlgCtrlID(control), position);
}

// Solid fills in painting order (ascending depth, then id): two vertices of
// the same colour make GRADIENT_FILL_RECT_H paint one colour.
void paintRectangles(HWND window) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    WaitForSingleObject(guiLock(), INFINITE);
    for (const PaintedRectangle& r : guiItems().rectanglesToPaint()) {
        TRIVERTEX vertices[2] = {};
        vertices[0].x = r.rect.x;
        vertices[0].y = r.rect.y;
        vertices[1].x = static_cast<LONG>(0LL + r.rect.x + r.rect.width);
        vertices[1].y = static_cast<LONG>(0LL + r.rect.y + r.rect.height);
        for (TRIVERTEX& v : vertices) {
            v.Red = r.color.red;
            v.Green = r.color.green;
            v.Blue = r.color.blue;
        }
        GRADIENT_RECT mesh{0, 1};
        GdiGradientFill(dc, vertices, 2, &mesh, 1, GRADIENT_FILL_RECT_H);
    }
    ReleaseSemaphore(guiLock(), 1, nullptr);
    EndPaint(window, &paint);
}

}  // namespace

LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            if (lParam != 0) {
                controlCommand(reinterpret_cast<HWND>(lParam), HIWORD(wParam));
            } else {
                // Menus send notification code 0: the whole wParam is the id.
                if (wParam <= 0xFFFF) runFileMenuCommand(static_cast<int>(wParam));
            }
            return 0;
        case WM_HSCROLL:
            sliderNotification(reinterpret_cast<HWND>(lParam), LOWORD(wParam));
            return 0;
        case WM_PAINT:
            paintRectangles(window);
            return 0;
        case WM_SETFOCUS:
            // As a dialog does: back in the window, the control that had the
            // keyboard focus has it again, and Tab goes on from there.
            if (restoreFocusedControl()) return 0;
            return DefWindowProcW(window, message, wParam, lParam);
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace feltrix
