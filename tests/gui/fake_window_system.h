#pragma once
// A window system that only records: controls as plain records, repaint
// requests as a list, text measured at 7 pixels per byte and 15 pixels high.
#include <map>
#include <string>
#include <vector>

#include "gui/window_system.h"

namespace feltrix::testing {

class FakeWindowSystem : public WindowSystem {
public:
    struct Control {
        GuiItemKind kind = GuiItemKind::Label;
        std::string text;
        PixelRect rect;
        bool checked = false;
        int sliderPosition = 0;
        std::vector<std::string> entries;
        int selection = -1;
    };

    std::map<GuiItemId, Control> controls;
    std::vector<PixelRect> invalidated;
    PixelSize client{512, 177};
    int resizeCount = 0;
    bool failCreation = false;

    bool createControl(GuiItemKind kind, GuiItemId id, const std::string& text, const PixelRect& rect) override {
        if (!failCreation) controls[id] = Control{kind, text, rect, false, 0, {}, -1};
        return !failCreation;
    }
    void destroyControl(GuiItemId id) override { controls.erase(id); }
    PixelSize controlSize(GuiItemId id) const override {
        const Control* c = find(id);
        return c ? PixelSize{c->rect.width, c->rect.height} : PixelSize{};
    }
    void moveControl(GuiItemId id, int x, int y) override {
        if (Control* c = find(id)) c->rect.x = x, c->rect.y = y;
    }
    void resizeControl(GuiItemId id, int width, int height) override {
        if (Control* c = find(id)) c->rect.width = width, c->rect.height = height;
    }
    void setControlText(GuiItemId id, const std::string& text) override {
        if (Control* c = find(id)) c->text = text;
    }
    void setControlEnabled(GuiItemId, bool) override {}
    void setControlTooltip(GuiItemId, const std::string&) override {}
    bool isChecked(GuiItemId id) const override { return find(id) && find(id)->checked; }
    void setChecked(GuiItemId id, bool checked) override {
        if (Control* c = find(id)) c->checked = checked;
    }
    void setSliderPosition(GuiItemId id, int position) override {
        if (Control* c = find(id)) c->sliderPosition = position < 0 ? 0 : position > 1000 ? 1000 : position;
    }
    int sliderPosition(GuiItemId id) const override { return find(id) ? find(id)->sliderPosition : 0; }
    void insertListEntry(GuiItemId id, int index, const std::string& text) override {
        Control* c = list(id);
        if (c == nullptr || index < -1 || index > count(c)) return;
        c->entries.insert(index == -1 ? c->entries.end() : c->entries.begin() + index, text);
        if (index != -1 && c->selection >= index) ++c->selection;
    }
    void removeListEntry(GuiItemId id, int index) override {
        Control* c = list(id);
        if (c == nullptr || index < 0 || index >= count(c)) return;
        c->entries.erase(c->entries.begin() + index);
        c->selection = c->selection == index ? -1 : c->selection > index ? c->selection - 1 : c->selection;
    }
    int listCount(GuiItemId id) const override { return list(id) ? count(list(id)) : 0; }
    int listSelection(GuiItemId id) const override { return list(id) ? list(id)->selection : -1; }
    void selectListEntry(GuiItemId id, int index) override {
        if (Control* c = list(id)) c->selection = index >= 0 && index < count(c) ? index : -1;
    }
    std::string listEntry(GuiItemId id, int index) const override {
        const Control* c = list(id);
        return c && index >= 0 && index < count(c) ? c->entries[index] : "";
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

private:
    Control* find(GuiItemId id) const {
        const auto it = controls.find(id);
        return it == controls.end() ? nullptr : const_cast<Control*>(&it->second);
    }
    Control* list(GuiItemId id) const {
        Control* c = find(id);
        return c && c->kind == GuiItemKind::DropdownList ? c : nullptr;
    }
    static int count(const Control* c) { return static_cast<int>(c->entries.size()); }
};

}  // namespace feltrix::testing
