#pragma once
// A window system that only records what the layout decides: control kinds,
// texts and rectangles, repaint requests, the client area's size. Text
// measures 7 pixels per byte and 15 pixels high.
#include <map>
#include <string>
#include <vector>

#include "gui/window_system.h"

namespace feltrix::testing {

class FakeWindowSystem : public WindowSystem {
public:
    struct Control {
        GuiItemKind kind;
        std::string text;
        PixelRect rect;
    };

    std::map<GuiItemId, Control> controls;
    std::vector<PixelRect> invalidated;
    PixelSize client{512, 177};
    int resizeCount = 0;
    bool failCreation = false;

    bool createControl(GuiItemKind kind, GuiItemId id, const std::string& text, const PixelRect& rect) override {
        if (!failCreation) controls[id] = Control{kind, text, rect};
        return !failCreation;
    }
    void destroyControl(GuiItemId id) override { controls.erase(id); }
    PixelSize controlSize(GuiItemId id) const override {
        const auto it = controls.find(id);
        return it == controls.end() ? PixelSize{} : PixelSize{it->second.rect.width, it->second.rect.height};
    }
    void moveControl(GuiItemId id, int x, int y) override {
        if (controls.count(id)) controls[id].rect.x = x, controls[id].rect.y = y;
    }
    void resizeControl(GuiItemId id, int width, int height) override {
        if (controls.count(id)) controls[id].rect.width = width, controls[id].rect.height = height;
    }
    PixelSize measureText(const std::string& text) const override {
        return {static_cast<int>(text.size()) * 7, text.empty() ? 0 : 15};
    }
    PixelSize clientAreaSize() const override { return client; }
    void resizeClientArea(int width, int height) override {
        client = {width, height};
        ++resizeCount;
    }
    void invalidate(const PixelRect& rect) override { invalidated.push_back(rect); }

    // What the registry only passes on: tested against the real window.
    void setControlText(GuiItemId, const std::string&) override {}
    void setControlEnabled(GuiItemId, bool) override {}
    void setControlTooltip(GuiItemId, const std::string&) override {}
    bool isChecked(GuiItemId) const override { return false; }
    void setChecked(GuiItemId, bool) override {}
    void setSliderPosition(GuiItemId, int) override {}
    int sliderPosition(GuiItemId) const override { return 0; }
    void insertListEntry(GuiItemId, int, const std::string&) override {}
    void removeListEntry(GuiItemId, int) override {}
    int listCount(GuiItemId) const override { return 0; }
    int listSelection(GuiItemId) const override { return -1; }
    void selectListEntry(GuiItemId, int) override {}
    std::string listEntry(GuiItemId, int) const override { return ""; }
};

}  // namespace feltrix::testing
