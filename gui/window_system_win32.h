#pragma once
// The window system of the script GUI on Win32: script-created controls are
// child windows of the main window, created with the item id as their child
// identifier and found again with GetDlgItem. Texts go in as UTF-16 (from
// UTF-8); drop-down entries come back in the system's ANSI code page.
#include <windows.h>

#include <map>

#include "gui/window_system.h"

namespace feltrix {

class Win32WindowSystem : public WindowSystem {
public:
    // `font` is the GUI font; controls (except sliders) get it with WM_SETFONT.
    Win32WindowSystem(HWND mainWindow, HFONT font) : window_(mainWindow), font_(font) {}

    bool createControl(GuiItemKind kind, GuiItemId id, const std::string& text, const PixelRect& rect) override;
    void destroyControl(GuiItemId id) override;
    PixelSize controlSize(GuiItemId id) const override;
    void moveControl(GuiItemId id, int x, int y) override;
    void resizeControl(GuiItemId id, int width, int height) override;
    void setControlText(GuiItemId id, const std::string& text) override;
    void setControlEnabled(GuiItemId id, bool enabled) override;
    void setControlTooltip(GuiItemId id, const std::string& text) override;
    bool isChecked(GuiItemId id) const override;
    void setChecked(GuiItemId id, bool checked) override;
    void setSliderPosition(GuiItemId id, int position) override;
    int sliderPosition(GuiItemId id) const override;
    void insertListEntry(GuiItemId id, int index, const std::string& text) override;
    void removeListEntry(GuiItemId id, int index) override;
    int listCount(GuiItemId id) const override;
    int listSelection(GuiItemId id) const override;
    void selectListEntry(GuiItemId id, int index) override;
    std::string listEntry(GuiItemId id, int index) const override;
    PixelSize measureText(const std::string& text) const override;
    PixelSize clientAreaSize() const override;
    void resizeClientArea(int width, int height) override;
    void invalidate(const PixelRect& rect) override;

    // The control's window if it is a control of `kind`; null otherwise.
    HWND control(GuiItemId id, GuiItemKind kind) const;

private:
    struct Control {
        GuiItemKind kind;
        HWND tooltip = nullptr;
    };

    HWND window_;
    HFONT font_;
    std::map<GuiItemId, Control> controls_;
};

}  // namespace feltrix
