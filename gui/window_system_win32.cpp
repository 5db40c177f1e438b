#include "gui/window_system_win32.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "common/text_win32.h"
#include "gui/layout.h"
#include "gui/system_error_win32.h"

namespace feltrix {
namespace {

struct ControlClass {
    const wchar_t* className;
    DWORD style;
};

// Classes and styles of each kind of control.
ControlClass controlClass(GuiItemKind kind) {
    switch (kind) {
        case GuiItemKind::PushButton:
            return {L"BUTTON", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON};
        case GuiItemKind::Checkbox:
            // BS_CHECKBOX: the box does not toggle by itself; the program
            // toggles it before telling the script.
            return {L"BUTTON", WS_CHILD | WS_VISIBLE | WS_GROUP | WS_TABSTOP | BS_MULTILINE | BS_CHECKBOX};
        // Sliders and drop-down lists are Tab stops too, as they are on
        // Linux: the keyboard moves them (arrow keys) once they have the focus.
        case GuiItemKind::Slider:
            return {TRACKBAR_CLASSW, WS_CHILD | WS_VISIBLE | WS_TABSTOP};
        case GuiItemKind::DropdownList:
            return {L"ComboBox", WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_HASSTRINGS | CBS_DROPDOWNLIST};
        case GuiItemKind::Label:
        case GuiItemKind::Rectangle:
            break;
    }
    return {L"Static", WS_CHILD | WS_VISIBLE};
}

}  // namespace

HWND Win32WindowSystem::control(GuiItemId id, GuiItemKind kind) const {
    const auto it = controls_.find(id);
    return it != controls_.end() && it->second.kind == kind ? GetDlgItem(window_, id) : nullptr;
}

bool Win32WindowSystem::createControl(GuiItemKind kind, GuiItemId id, const std::string& text,
                                      const PixelRect& rect) {
    if (kind == GuiItemKind::Rectangle) return false;
    const ControlClass cls = controlClass(kind);
    // Labels are made without the program's instance handle.
    HINSTANCE instance = kind == GuiItemKind::Label
                             ? nullptr
                             : reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(window_, GWLP_HINSTANCE));
    HWND child = CreateWindowExW(0, cls.className, utf8ToWide(text).c_str(), cls.style, clampCoordinate(rect.x),
                                 clampCoordinate(rect.y), clampSize(rect.width), clampSize(rect.height), window_,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
    if (child == nullptr) return false;
    if (kind == GuiItemKind::Slider) {
        SendMessageW(child, TBM_SETRANGE, TRUE, MAKELPARAM(0, 1000));
    } else {
        SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font_), TRUE);
    }
    controls_[id] = Control{kind, nullptr};
    return true;
}

void Win32WindowSystem::destroyControl(GuiItemId id) {
    const auto it = controls_.find(id);
    if (it == controls_.end()) return;
    if (it->second.tooltip != nullptr) DestroyWindow(it->second.tooltip);
    if (HWND child = GetDlgItem(window_, id)) DestroyWindow(child);
    controls_.erase(it);
}

PixelSize Win32WindowSystem::controlSize(GuiItemId id) const {
    HWND child = controls_.count(id) != 0 ? GetDlgItem(window_, id) : nullptr;
    RECT r{};
    if (child == nullptr || !GetWindowRect(child, &r)) return {};
    return {r.right - r.left, r.bottom - r.top};
}

void Win32WindowSystem::moveControl(GuiItemId id, int x, int y) {
    if (HWND child = GetDlgItem(window_, id)) {
        SetWindowPos(child, nullptr, clampCoordinate(x), clampCoordinate(y), 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
    }
}

void Win32WindowSystem::resizeControl(GuiItemId id, int width, int height) {
    if (HWND child = GetDlgItem(window_, id)) {
        SetWindowPos(child, nullptr, 0, 0, clampSize(width), clampSize(height),
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
    }
}

void Win32WindowSystem::setControlText(GuiItemId id, const std::string& text) {
    if (HWND child = GetDlgItem(window_, id)) SetWindowTextW(child, utf8ToWide(text).c_str());
}

void Win32WindowSystem::setControlEnabled(GuiItemId id, bool enabled) {
    if (HWND child = GetDlgItem(window_, id)) EnableWindow(child, enabled ? TRUE : FALSE);
}

void Win32WindowSystem::setControlTooltip(GuiItemId id, const std::string& text) {
    const auto it = controls_.find(id);
    if (it == controls_.end()) return;
    if (it->second.tooltip != nullptr) DestroyWindow(it->second.tooltip);
    it->second.tooltip = nullptr;
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(window_, GWLP_HINSTANCE));
    HWND tooltip = CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                                   CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window_, nullptr, instance, nullptr);
    if (tooltip == nullptr) {
        reportLastError("Could not create tooltip");
        std::fflush(stdout);
        std::exit(1);
    }
    SetWindowPos(tooltip, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    it->second.tooltip = tooltip;
    std::wstring wide = utf8ToWide(text);
    TOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V1_SIZE;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = window_;
    tool.uId = reinterpret_cast<UINT_PTR>(GetDlgItem(window_, id));
    tool.lpszText = wide.data();
    if (!SendMessageW(tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool))) {
        reportLastError("Could not add tooltip");
        std::fflush(stdout);
        std::exit(1);
    }
    SendMessageW(tooltip, TTM_ACTIVATE, TRUE, 0);
}

bool Win32WindowSystem::isChecked(GuiItemId id) const {
    return control(id, GuiItemKind::Checkbox) != nullptr && IsDlgButtonChecked(window_, id) == BST_CHECKED;
}

void Win32WindowSystem::setChecked(GuiItemId id, bool checked) {
    if (control(id, GuiItemKind::Checkbox) != nullptr) CheckDlgButton(window_, id, checked ? BST_CHECKED : BST_UNCHECKED);
}

void Win32WindowSystem::setSliderPosition(GuiItemId id, int position) {
    // TBM_SETPOS clamps to the range and sends no notification.
    if (HWND slider = control(id, GuiItemKind::Slider)) SendMessageW(slider, TBM_SETPOS, TRUE, position);
}

int Win32WindowSystem::sliderPosition(GuiItemId id) const {
    HWND slider = control(id, GuiItemKind::Slider);
    return slider != nullptr ? static_cast<int>(SendMessageW(slider, TBM_GETPOS, 0, 0)) : 0;
}

void Win32WindowSystem::insertListEntry(GuiItemId id, int index, const std::string& text) {
    HWND list = control(id, GuiItemKind::DropdownList);
    // An index beyond the end is refused by the combo box itself.
    if (list == nullptr || index < -1) return;
    const std::wstring wide = utf8ToWide(text);
    SendMessageW(list, CB_INSERTSTRING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(wide.c_str()));
}

void Win32WindowSystem::removeListEntry(GuiItemId id, int index) {
    HWND list = control(id, GuiItemKind::DropdownList);
    if (list != nullptr && index >= 0) SendMessageW(list, CB_DELETESTRING, static_cast<WPARAM>(index), 0);
}

int Win32WindowSystem::listCount(GuiItemId id) const {
    HWND list = control(id, GuiItemKind::DropdownList);
    if (list == nullptr) return 0;
    const LRESULT count = SendMessageW(list, CB_GETCOUNT, 0, 0);
    return count == CB_ERR ? 0 : static_cast<int>(count);
}

int Win32WindowSystem::listSelection(GuiItemId id) const {
    HWND list = control(id, GuiItemKind::DropdownList);
    return list != nullptr ? static_cast<int>(SendMessageW(list, CB_GETCURSEL, 0, 0)) : -1;
}

void Win32WindowSystem::selectListEntry(GuiItemId id, int index) {
    HWND list = control(id, GuiItemKind::DropdownList);
    if (list == nullptr) return;
    // An index outside the list clears the selection (Windows does so; wine
    // keeps the old one unless told -1). CB_SETCURSEL sends no CBN_SELCHANGE.
    const bool inside = index >= 0 && index < listCount(id);
    SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(inside ? index : -1), 0);
}

std::string Win32WindowSystem::listEntry(GuiItemId id, int index) const {
    HWND list = control(id, GuiItemKind::DropdownList);
    if (list == nullptr || index < 0) return {};
    const LRESULT length = SendMessageW(list, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == CB_ERR || length < 0) return {};
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const LRESULT got =
        SendMessageW(list, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    if (got == CB_ERR || got < 0) return {};
    text.resize(static_cast<std::size_t>(std::min<LRESULT>(got, length)));
    return wideToAnsi(text);
}

PixelSize Win32WindowSystem::measureText(const std::string& text) const {
    HDC dc = GetDC(window_);
    if (dc == nullptr) return {};
    HGDIOBJ previous = SelectObject(dc, font_);
    const std::wstring wide = utf8ToWide(text);
    SIZE size{};
    GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &size);
    SelectObject(dc, previous);
    ReleaseDC(window_, dc);
    return {size.cx, size.cy};
}

PixelSize Win32WindowSystem::clientAreaSize() const {
    RECT client{};
    GetClientRect(window_, &client);
    return {client.right, client.bottom};
}

void Win32WindowSystem::resizeClientArea(int width, int height) {
    RECT client{}, outer{};
    GetClientRect(window_, &client);
    GetWindowRect(window_, &outer);
    // The frame, the title bar and the menu bar around the client area.
    const int outerWidth = outer.right - outer.left + clampSize(width) - client.right;
    const int outerHeight = outer.bottom - outer.top + clampSize(height) - client.bottom;
    SetWindowPos(window_, nullptr, 0, 0, std::max<int>(outerWidth, outer.right - outer.left),
                 std::max<int>(outerHeight, outer.bottom - outer.top),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
}

void Win32WindowSystem::invalidate(const PixelRect& rect) {
    // Formed in 64 bits and clipped: script coordinates may lie anywhere.
    const long long left = std::clamp<long long>(rect.x, -kCoordinateLimit, kCoordinateLimit);
    const long long top = std::clamp<long long>(rect.y, -kCoordinateLimit, kCoordinateLimit);
    const long long right = std::clamp<long long>(0LL + rect.x + rect.width, -kCoordinateLimit, kCoordinateLimit);
    const long long bottom = std::clamp<long long>(0LL + rect.y + rect.height, -kCoordinateLimit, kCoordinateLimit);
    const RECT area{static_cast<LONG>(left), static_cast<LONG>(top), static_cast<LONG>(right),
                    static_cast<LONG>(bottom)};
    InvalidateRect(window_, &area, TRUE);
}

}  // namespace feltrix
