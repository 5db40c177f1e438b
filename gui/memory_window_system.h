#pragma once
// A window system without a display: it keeps every control's state in
// memory (kind, text, place and size, enabled, tooltip, check, slider
// position, list entries and selection), so scripts read back what they set
// as they do in the program's window. Text measures 7 pixels per byte and 15
// pixels high. Used by feltrix-render and by tests of the layout.
#include <map>
#include <string>
#include <vector>

#include "gui/window_system.h"

namespace feltrix {

class MemoryWindowSystem : public WindowSystem {
public:
    struct Control {
        GuiItemKind kind = GuiItemKind::Label;
        std::string text;
        PixelRect rect;
        bool enabled = true;
        std::string tooltip;
        bool checked = false;
        int sliderPosition = 0;
        std::vector<std::string> entries;
        int selection = -1;
    };

    std::map<GuiItemId, Control> controls;
    // Repaint requests, oldest first (clear it to keep it short).
    std::vector<PixelRect> invalidated;
    PixelSize client{512, 177};
    int resizeCount = 0;
    // While set, no control can be made.
    bool failCreation = false;

    bool createControl(GuiItemKind kind, GuiItemId id, const std::string& text, const PixelRect& rect) override;
    void destroyControl(GuiItemId id) override { controls.erase(id); }
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
    PixelSize clientAreaSize() const override { return client; }
    void resizeClientArea(int width, int height) override;
    void invalidate(const PixelRect& rect) override { invalidated.push_back(rect); }

private:
    Control* find(GuiItemId id, GuiItemKind kind);
    const Control* find(GuiItemId id, GuiItemKind kind) const;
};

}  // namespace feltrix
