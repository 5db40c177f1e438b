#include "gui/layout.h"

#include <algorithm>
#include <climits>

namespace feltrix {
namespace {

// Room a check box needs besides its text: the box and the gap before the text.
constexpr int kCheckboxBoxWidth = 26;
constexpr int kCheckboxMinimumHeight = 15;
// Margins the window keeps around controls of each kind.
constexpr int kPushButtonRightMargin = 33;
constexpr int kSliderRightMargin = 1;
constexpr int kSliderBottomMargin = 21;
constexpr int kDropdownRightMargin = 9;
constexpr int kDropdownRequiredHeight = 33;

// Script numbers may be anywhere in 32 bits: sums are formed in 64 bits and
// brought back into range.
int saturate(long long value) {
    return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

}  // namespace

ControlLayout checkboxLayout(int x, int y, PixelSize text) {
    const int width = saturate(text.width + 0LL + kCheckboxBoxWidth);
    const int height = std::max(saturate(text.height + 2LL), kCheckboxMinimumHeight);
    return {{x, y, width, height}, saturate(0LL + x + width + 1), saturate(0LL + y + height + 1)};
}

ControlLayout pushButtonLayout(int x, int y, int width, int height) {
    return {{x, y, width, height}, saturate(0LL + x + width + kPushButtonRightMargin), saturate(0LL + y + height + 1)};
}

ControlLayout sliderLayout(int x, int y) {
    return {{x, y, kSliderWidth, kSliderHeight},
            saturate(0LL + x + kSliderWidth + kSliderRightMargin),
            saturate(0LL + y + kSliderHeight + kSliderBottomMargin)};
}

ControlLayout dropdownListLayout(int x, int y, int width, int height) {
    return {{x, y, width, height}, saturate(0LL + x + width + kDropdownRightMargin),
            saturate(0LL + y + kDropdownRequiredHeight)};
}

ControlLayout labelLayout(int x, int y, int width, int height, PixelSize text) {
    const int labelWidth = width > 0 ? width : text.width;
    const int labelHeight = height > 0 ? height : text.height;
    const int top = height > 0 ? y : saturate(0LL + y - labelHeight);
    return {{x, top, saturate(labelWidth + 1LL), labelHeight},
            saturate(0LL + x + labelWidth + 1),
            saturate(0LL + y + labelHeight + 1)};
}

PixelRect dropdownCaptionRect(int listX, int listY, int listWidth) {
    return {listX, saturate(0LL + listY - kDropdownCaptionHeight), listWidth, kDropdownCaptionHeight};
}

PixelSize grownClientSize(PixelSize current, int requiredRight, int requiredBottom) {
    const int width = std::max(current.width, std::min(requiredRight, kMaximumClientExtent));
    const int height = std::max(current.height, std::min(requiredBottom, kMaximumClientExtent));
    return {width, height};
}

ResizeStrips rectangleResizeStrips(int x, int y, PixelSize before, PixelSize after) {
    ResizeStrips strips;
    const int largerWidth = std::max(before.width, after.width);
    const int largerHeight = std::max(before.height, after.height);
    if (before.width != after.width) {
        const int smaller = std::min(before.width, after.width);
        strips.widthStrip = {saturate(0LL + x + smaller), y, saturate(0LL + largerWidth - smaller), largerHeight};
    }
    if (before.height != after.height) {
        const int smaller = std::min(before.height, after.height);
        strips.heightStrip = {x, saturate(0LL + y + smaller), largerWidth, saturate(0LL + largerHeight - smaller)};
    }
    return strips;
}

}  // namespace feltrix
