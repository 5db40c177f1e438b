#include "gui/item_registry.h"

#include <algorithm>
#include <climits>

#include "gui/layout.h"

namespace feltrix {
namespace {

PixelRect area(const GuiRectangle& r) { return {r.x, r.y, r.width, r.height}; }

}  // namespace

GuiItemRegistry& guiItems() {
    static GuiItemRegistry* registry = new GuiItemRegistry;
    return *registry;
}

void GuiItemRegistry::setWindowSystem(WindowSystem* windows) {
    items_.clear();
    windows_ = windows;
}

GuiItemId GuiItemRegistry::takeId() {
    const GuiItemId id = nextId_;
    if (nextId_ < INT_MAX) ++nextId_;
    return id;
}

void GuiItemRegistry::growMainWindowToFit(int requiredRight, int requiredBottom) {
    if (windows_ == nullptr) return;
    const PixelSize current = windows_->clientAreaSize();
    const PixelSize wanted = grownClientSize(current, requiredRight, requiredBottom);
    if (!(wanted == current)) windows_->resizeClientArea(wanted.width, wanted.height);
}

PixelSize GuiItemRegistry::measureText(const std::string& text) const {
    return windows_ != nullptr ? windows_->measureText(text) : PixelSize{};
}

bool GuiItemRegistry::createWindow(GuiItemKind kind, GuiItemId id, const std::string& text, const PixelRect& rect) {
    return windows_ != nullptr && windows_->createControl(kind, id, text, rect);
}

void GuiItemRegistry::registerItem(GuiItemKind kind, GuiItemId id) {
    GuiItem item;
    item.kind = kind;
    item.id = id;
    items_[id] = item;
}

void GuiItemRegistry::invalidate(const PixelRect& rect) {
    if (windows_ != nullptr && rect.width > 0 && rect.height > 0) windows_->invalidate(rect);
}

GuiItem* GuiItemRegistry::find(GuiItemId id) {
    const auto it = items_.find(id);
    return it == items_.end() ? nullptr : &it->second;
}

const GuiItem* GuiItemRegistry::findGuiItem(GuiItemId id) const {
    const auto it = items_.find(id);
    return it == items_.end() ? nullptr : &it->second;
}

GuiItemId GuiItemRegistry::addControl(GuiItemKind kind, const std::string& text, const ControlLayout& layout) {
    growMainWindowToFit(layout.requiredRight, layout.requiredBottom);
    const GuiItemId id = takeId();
    if (!createWindow(kind, id, text, layout.rect)) return -1;
    registerItem(kind, id);
    return id;
}

GuiItemId GuiItemRegistry::createCheckbox(const std::string& text, int x, int y) {
    return addControl(GuiItemKind::Checkbox, text, checkboxLayout(x, y, measureText(text)));
}

GuiItemId GuiItemRegistry::createPushButton(const std::string& text, int x, int y, int width, int height) {
    return addControl(GuiItemKind::PushButton, text, pushButtonLayout(x, y, width, height));
}

GuiItemId GuiItemRegistry::createSlider(const std::string& text, int x, int y, int position) {
    const GuiItemId id = addControl(GuiItemKind::Slider, text, sliderLayout(x, y));
    if (id != -1) windows_->setSliderPosition(id, position);
    return id;
}

GuiItemId GuiItemRegistry::createDropdownList(const std::string& caption, int x, int y, int width, int height) {
    const GuiItemId id = addControl(GuiItemKind::DropdownList, std::string(), dropdownListLayout(x, y, width, height));
    if (id != -1 && !caption.empty()) {
        // The caption is a label of its own, not tied to the list afterwards.
        const GuiItemId captionId = takeId();
        createWindow(GuiItemKind::Label, captionId, caption, dropdownCaptionRect(x, y, width));
        registerItem(GuiItemKind::Label, captionId);
    }
    return id;
}

GuiItemId GuiItemRegistry::createLabel(const std::string& text, int x, int y, int width, int height) {
    const PixelSize measured = width > 0 && height > 0 ? PixelSize{} : measureText(text);
    const ControlLayout layout = labelLayout(x, y, width, height, measured);
    growMainWindowToFit(layout.requiredRight, layout.requiredBottom);
    const GuiItemId id = takeId();
    createWindow(GuiItemKind::Label, id, text, layout.rect);
    registerItem(GuiItemKind::Label, id);
    return id;
}

GuiItemId GuiItemRegistry::createRectangle(int x, int y, int width, int height, GuiColor color, int depth) {
    const GuiItemId id = takeId();
    GuiItem item;
    item.kind = GuiItemKind::Rectangle;
    item.id = id;
    item.depth = depth;
    item.rectangle = GuiRectangle{x, y, width, height, color};
    items_[id] = item;
    invalidate({x, y, width, height});
    return id;
}

void GuiItemRegistry::setItemSize(GuiItemId id, int width, int height) {
    GuiItem* item = find(id);
    if (item == nullptr) return;
    if (item->rectangle) {
        GuiRectangle& r = *item->rectangle;
        const ResizeStrips strips = rectangleResizeStrips(r.x, r.y, {r.width, r.height}, {width, height});
        r.width = width;
        r.height = height;
        invalidate(strips.widthStrip);
        invalidate(strips.heightStrip);
        return;
    }
    if (windows_ == nullptr) return;
    const PixelSize current = windows_->controlSize(id);
    windows_->resizeControl(id, width > 0 ? width : current.width, height > 0 ? height : current.height);
}

void GuiItemRegistry::setItemPosition(GuiItemId id, int x, int y) {
    GuiItem* item = find(id);
    if (item == nullptr) return;
    if (item->rectangle) {
        GuiRectangle& r = *item->rectangle;
        invalidate(area(r));
        r.x = x;
        r.y = y;
        invalidate(area(r));
        return;
    }
    if (windows_ != nullptr) windows_->moveControl(id, x, y);
}

void GuiItemRegistry::setRectangleColor(GuiItemId id, GuiColor color) {
    GuiItem* item = find(id);
    if (item == nullptr || !item->rectangle) return;
    GuiRectangle& r = *item->rectangle;
    r.color = color;
    invalidate(area(r));
}

void GuiItemRegistry::setItemHidden(GuiItemId id, bool hidden) {
    // Nothing is repainted now: the change shows at the next repaint.
    if (GuiItem* item = find(id)) item->hidden = hidden;
}

void GuiItemRegistry::setItemEnabled(GuiItemId id, bool enabled) {
    const GuiItem* item = find(id);
    if (item == nullptr || item->rectangle || windows_ == nullptr) return;
    windows_->setControlEnabled(id, enabled);
}

void GuiItemRegistry::setTooltip(GuiItemId id, const std::string& text) {
    // A rectangle has no window to show a tooltip for.
    GuiItem* item = find(id);
    if (item == nullptr || item->rectangle || windows_ == nullptr) return;
    windows_->setControlTooltip(id, text);
    item->hasTooltip = true;
}

void GuiItemRegistry::insertDropdownListEntry(GuiItemId id, const std::string& text, int index, bool select) {
    if (find(id) == nullptr || windows_ == nullptr) return;
    windows_->insertListEntry(id, index, text);
    const int count = windows_->listCount(id);
    // The first entry of an empty list is always selected.
    if (select || count == 1) windows_->selectListEntry(id, index == -1 ? count - 1 : index);
}

void GuiItemRegistry::removeGuiItem(GuiItemId id) {
    const auto it = items_.find(id);
    if (it == items_.end()) return;
    if (it->second.rectangle) {
        const GuiRectangle& r = *it->second.rectangle;
        invalidate(area(r));
    } else if (windows_ != nullptr) {
        windows_->destroyControl(id);
    }
    items_.erase(it);
}

void GuiItemRegistry::setItemText(GuiItemId id, const std::string& text) {
    if (windows_ != nullptr) windows_->setControlText(id, text);
}

void GuiItemRegistry::resetGui() {
    while (!items_.empty()) removeGuiItem(items_.begin()->first);
}

std::vector<PaintedRectangle> GuiItemRegistry::rectanglesToPaint() const {
    std::vector<PaintedRectangle> painted;
    for (const auto& [id, item] : items_) {
        if (item.hidden || !item.rectangle) continue;
        const GuiRectangle& r = *item.rectangle;
        if (r.width <= 0 || r.height <= 0) continue;  // covers nothing
        painted.push_back({id, item.depth, area(r), r.color});
    }
    // Ascending depth; the stable sort keeps equal depths in ascending id order.
    std::stable_sort(painted.begin(), painted.end(),
                     [](const PaintedRectangle& a, const PaintedRectangle& b) { return a.depth < b.depth; });
    return painted;
}

}  // namespace feltrix
