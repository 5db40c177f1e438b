#pragma once
// The registry of script-created items: check boxes, push buttons, sliders,
// drop-down lists, labels and coloured rectangles. It hands out ids from 1024
// upward (never reused, never reset), grows the main window so that new
// controls fit, and moves, resizes, recolours, retitles and removes items.
// Controls live in the window system; rectangles are painted by the client
// area from rectanglesToPaint().
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "common/types.h"
#include "gui/layout.h"
#include "gui/window_system.h"

namespace feltrix {

constexpr GuiItemId kFirstGuiItemId = 1024;

// 16-bit colour intensities: 0x0000 none, 0xFF00 full; the high byte is the
// 8-bit colour. Alpha is kept but never painted.
struct GuiColor {
    std::uint16_t red = 0;
    std::uint16_t green = 0;
    std::uint16_t blue = 0;
    std::uint16_t alpha = 0;
};

struct GuiRectangle {
    int x = 0;
    int y = 0;
    int width = 0;   // stored as given: zero or negative is kept (and not painted)
    int height = 0;
    GuiColor color;
};

struct GuiItem {
    GuiItemKind kind = GuiItemKind::Label;
    GuiItemId id = 0;
    bool hasTooltip = false;
    double depth = 0;                         // painting order of rectangles
    std::optional<GuiRectangle> rectangle;    // set for rectangles only
    bool hidden = false;                      // rectangles only are affected
};

struct PaintedRectangle {
    GuiItemId id;
    double depth;
    PixelRect rect;
    GuiColor color;
};

class GuiItemRegistry {
public:
    explicit GuiItemRegistry(WindowSystem* windows = nullptr) : windows_(windows) {}

    // Switches to another window system (a new main window): the items of the
    // old one are forgotten; the id counter goes on.
    void setWindowSystem(WindowSystem* windows);
    WindowSystem* windowSystem() const { return windows_; }

    // Each returns the new item's id, or -1 when its control could not be made
    // (the id is used up all the same).
    GuiItemId createCheckbox(const std::string& text, int x, int y);
    GuiItemId createPushButton(const std::string& text, int x, int y, int width, int height);
    GuiItemId createSlider(const std::string& text, int x, int y, int position);
    // A non-empty caption becomes a label of its own above the list (id + 1).
    GuiItemId createDropdownList(const std::string& caption, int x, int y, int width, int height);
    // A width or height of 0 or less is measured; labels always get their id.
    GuiItemId createLabel(const std::string& text, int x, int y, int width, int height);
    GuiItemId createRectangle(int x, int y, int width, int height, GuiColor color, int depth);

    // The item, or null; never adds an entry.
    const GuiItem* findGuiItem(GuiItemId id) const;

    // The operations below expect an id that names an item and do nothing
    // otherwise.
    // Controls: a width or height of 0 or less keeps the current one.
    void setItemSize(GuiItemId id, int width, int height);
    void setItemPosition(GuiItemId id, int x, int y);
    void setRectangleColor(GuiItemId id, GuiColor color);
    // Hidden rectangles are left out from the next repaint of their area on.
    void setItemHidden(GuiItemId id, bool hidden);
    void setItemEnabled(GuiItemId id, bool enabled);
    void setTooltip(GuiItemId id, const std::string& text);
    void insertDropdownListEntry(GuiItemId id, const std::string& text, int index, bool select);
    void removeGuiItem(GuiItemId id);

    // The text of any control with this id (no registry lookup).
    void setItemText(GuiItemId id, const std::string& text);
    // Removes every item; the id counter keeps its value.
    void resetGui();

    // Visible rectangles (not hidden, not empty) in painting order: ascending depth, equal depths by
    // ascending id. A copy, so painting never holds on to registry entries.
    std::vector<PaintedRectangle> rectanglesToPaint() const;

    std::size_t size() const { return items_.size(); }
    GuiItemId nextId() const { return nextId_; }

private:
    GuiItemId takeId();
    // Grows the window for the control, gives it an id and makes it; -1 when
    // the window system could not make it.
    GuiItemId addControl(GuiItemKind kind, const std::string& text, const ControlLayout& layout);
    void growMainWindowToFit(int requiredRight, int requiredBottom);
    PixelSize measureText(const std::string& text) const;
    bool createWindow(GuiItemKind kind, GuiItemId id, const std::string& text, const PixelRect& rect);
    void registerItem(GuiItemKind kind, GuiItemId id);
    void invalidate(const PixelRect& rect);
    GuiItem* find(GuiItemId id);

    WindowSystem* windows_;
    std::map<GuiItemId, GuiItem> items_;
    GuiItemId nextId_ = kFirstGuiItemId;
};

// The process's registry (the script functions reach it without upvalues).
GuiItemRegistry& guiItems();

}  // namespace feltrix
