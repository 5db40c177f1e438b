#pragma once
// The few things the script GUI needs from a window system. The item registry,
// the layout arithmetic and the script functions use only this interface; the
// Qt implementation lives in window_system_qt.*, and a test can use a fake.
//
// Controls are children of the main window's client area and are found again
// by their item id. Coordinates and sizes are pixels of the client area.
// Texts are UTF-8 in both directions.
#include <string>

#include "common/types.h"

namespace feltrix {

// Kinds of script-created items (the values are those scripts have always seen
// in the program's item records; 2 is unused).
enum class GuiItemKind : int {
    PushButton = 0,
    Checkbox = 1,
    Slider = 3,
    DropdownList = 4,
    Label = 5,
    Rectangle = 6,
};

struct PixelRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool operator==(const PixelRect& o) const {
        return x == o.x && y == o.y && width == o.width && height == o.height;
    }
};

struct PixelSize {
    int width = 0;
    int height = 0;
    bool operator==(const PixelSize& o) const { return width == o.width && height == o.height; }
};

class WindowSystem {
public:
    virtual ~WindowSystem() = default;

    // Creates a visible control of `kind` (not Rectangle) at `rect` with the
    // given text. Sliders get the range 0..1000. Returns false when the control
    // could not be made. For a drop-down list, rect.height is the height of the
    // control with its list opened.
    virtual bool createControl(GuiItemKind kind, GuiItemId id, const std::string& text, const PixelRect& rect) = 0;
    // Destroys the control (and its tooltip); unknown ids are ignored.
    virtual void destroyControl(GuiItemId id) = 0;
    // The control's current size, as createControl and resizeControl set it;
    // {0, 0} for an unknown id.
    virtual PixelSize controlSize(GuiItemId id) const = 0;
    virtual void moveControl(GuiItemId id, int x, int y) = 0;
    virtual void resizeControl(GuiItemId id, int width, int height) = 0;
    // Every call below ignores ids without a control, and controls of another
    // kind than the one the call is about (reads then give 0, false, -1 or "").
    virtual void setControlText(GuiItemId id, const std::string& text) = 0;
    virtual void setControlEnabled(GuiItemId id, bool enabled) = 0;
    virtual void setControlTooltip(GuiItemId id, const std::string& text) = 0;

    virtual bool isChecked(GuiItemId id) const = 0;
    virtual void setChecked(GuiItemId id, bool checked) = 0;

    // Sets the slider's position (clamped to 0..1000) without telling the script.
    virtual void setSliderPosition(GuiItemId id, int position) = 0;
    virtual int sliderPosition(GuiItemId id) const = 0;

    // Drop-down list entries, 0-based. Insertion at -1 appends; an index below
    // -1 or beyond the end inserts nothing. Selecting an index outside the list
    // leaves no entry selected. None of these tells the script.
    virtual void insertListEntry(GuiItemId id, int index, const std::string& text) = 0;
    virtual void removeListEntry(GuiItemId id, int index) = 0;
    virtual int listCount(GuiItemId id) const = 0;
    virtual int listSelection(GuiItemId id) const = 0;  // -1: none
    virtual void selectListEntry(GuiItemId id, int index) = 0;
    virtual std::string listEntry(GuiItemId id, int index) const = 0;

    // Width and height of `text` in the GUI font, as a control displays it.
    virtual PixelSize measureText(const std::string& text) const = 0;
    // Size of the client area (the area of the main window below its menu).
    virtual PixelSize clientAreaSize() const = 0;
    // Resizes the main window so that its client area gets this size.
    virtual void resizeClientArea(int width, int height) = 0;
    // Asks for a repaint of this part of the client area (rectangles).
    virtual void invalidate(const PixelRect& rect) = 0;
};

}  // namespace feltrix
