#pragma once
// Layout arithmetic of script-created controls: where each kind is placed, how
// big it is and which right and bottom edges the client area must reach for it
// to fit. Pure functions of the script's numbers and measured text sizes.
#include <algorithm>

#include "gui/window_system.h"

namespace feltrix {

// Fixed sizes of the controls that have one.
constexpr int kSliderWidth = 148;
constexpr int kSliderHeight = 30;
constexpr int kSliderMaximum = 1000;
constexpr int kDropdownCaptionHeight = 20;
// Growth stops here: an item placed far away must not ask for a window (and
// its backing image) of billions of pixels.
constexpr int kMaximumClientExtent = 4096;

// Script numbers can be anything in 32 bits; controls are kept within a range
// the window systems' own geometry arithmetic handles without overflowing.
constexpr int kCoordinateLimit = 1 << 20;
constexpr int kSizeLimit = 1 << 14;
inline int clampCoordinate(int value) { return std::clamp(value, -kCoordinateLimit, kCoordinateLimit); }
inline int clampSize(int value) { return std::clamp(value, 0, kSizeLimit); }

struct ControlLayout {
    PixelRect rect;       // where the control goes
    int requiredRight;    // client pixels the window must reach to the right
    int requiredBottom;   // and downward
};

// Check box: the box and its measured text.
ControlLayout checkboxLayout(int x, int y, PixelSize text);
ControlLayout pushButtonLayout(int x, int y, int width, int height);
ControlLayout sliderLayout(int x, int y);
// The height is that of the opened list; only the closed control counts for
// the window's size.
ControlLayout dropdownListLayout(int x, int y, int width, int height);
// Label: a width or height of 0 or less takes the measured one; without a
// height, y is the label's bottom edge.
ControlLayout labelLayout(int x, int y, int width, int height, PixelSize text);
// The caption above a drop-down list (needs no room of its own).
PixelRect dropdownCaptionRect(int listX, int listY, int listWidth);

// The client size after growing `current` so that it reaches the required
// edges (up to kMaximumClientExtent); never smaller than `current`.
PixelSize grownClientSize(PixelSize current, int requiredRight, int requiredBottom);

// What to repaint when a rectangle at (x, y) changes size: the strips that
// were or become covered. Empty rects mean nothing to repaint.
struct ResizeStrips {
    PixelRect widthStrip;
    PixelRect heightStrip;
};
ResizeStrips rectangleResizeStrips(int x, int y, PixelSize before, PixelSize after);

}  // namespace feltrix
