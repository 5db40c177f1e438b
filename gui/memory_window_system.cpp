#include "gui/memory_window_system.h"

#include <algorithm>

#include "gui/layout.h"

namespace feltrix {

bool MemoryWindowSystem::createControl(GuiItemKind kind, GuiItemId id, const std::string& text,
                                       const PixelRect& rect) {
    if (failCreation) return false;
    Control control;
    control.kind = kind;
    control.text = text;
    control.rect = rect;
    controls[id] = control;
    return true;
}

PixelSize MemoryWindowSystem::controlSize(GuiItemId id) const {
    const auto it = controls.find(id);
    return it == controls.end() ? PixelSize{} : PixelSize{it->second.rect.width, it->second.rect.height};
}

void MemoryWindowSystem::moveControl(GuiItemId id, int x, int y) {
    const auto it = controls.find(id);
    if (it == controls.end()) return;
    it->second.rect.x = x;
    it->second.rect.y = y;
}

void MemoryWindowSystem::resizeControl(GuiItemId id, int width, int height) {
    const auto it = controls.find(id);
    if (it == controls.end()) return;
    it->second.rect.width = width;
    it->second.rect.height = height;
}

void MemoryWindowSystem::setControlText(GuiItemId id, const std::string& text) {
    const auto it = controls.find(id);
    if (it != controls.end()) it->second.text = text;
}

void MemoryWindowSystem::setControlEnabled(GuiItemId id, bool enabled) {
    const auto it = controls.find(id);
    if (it != controls.end()) it->second.enabled = enabled;
}

void MemoryWindowSystem::setControlTooltip(GuiItemId id, const std::string& text) {
    const auto it = controls.find(id);
    if (it != controls.end()) it->second.tooltip = text;
}

MemoryWindowSystem::Control* MemoryWindowSystem::find(GuiItemId id, GuiItemKind kind) {
    const auto it = controls.find(id);
    return it != controls.end() && it->second.kind == kind ? &it->second : nullptr;
}

const MemoryWindowSystem::Control* MemoryWindowSystem::find(GuiItemId id, GuiItemKind kind) const {
    const auto it = controls.find(id);
    return it != controls.end() && it->second.kind == kind ? &it->second : nullptr;
}

bool MemoryWindowSystem::isChecked(GuiItemId id) const {
    const Control* box = find(id, GuiItemKind::Checkbox);
    return box != nullptr && box->checked;
}

void MemoryWindowSystem::setChecked(GuiItemId id, bool checked) {
    if (Control* box = find(id, GuiItemKind::Checkbox)) box->checked = checked;
}

void MemoryWindowSystem::setSliderPosition(GuiItemId id, int position) {
    Control* slider = find(id, GuiItemKind::Slider);
    if (slider != nullptr) slider->sliderPosition = std::clamp(position, 0, kSliderMaximum);
}

int MemoryWindowSystem::sliderPosition(GuiItemId id) const {
    const Control* slider = find(id, GuiItemKind::Slider);
    return slider != nullptr ? slider->sliderPosition : 0;
}

// The selection follows its entry when entries are inserted or removed before
// it, as a list control keeps its current entry.
void MemoryWindowSystem::insertListEntry(GuiItemId id, int index, const std::string& text) {
    Control* list = find(id, GuiItemKind::DropdownList);
    const int count = list != nullptr ? static_cast<int>(list->entries.size()) : 0;
    if (list == nullptr || index < -1 || index > count) return;
    if (index == -1) index = count;
    list->entries.insert(list->entries.begin() + index, text);
    if (list->selection >= index) ++list->selection;
}

void MemoryWindowSystem::removeListEntry(GuiItemId id, int index) {
    Control* list = find(id, GuiItemKind::DropdownList);
    if (list == nullptr || index < 0 || index >= static_cast<int>(list->entries.size())) return;
    list->entries.erase(list->entries.begin() + index);
    if (list->selection == index) {
        list->selection = -1;
    } else if (list->selection > index) {
        --list->selection;
    }
}

int MemoryWindowSystem::listCount(GuiItemId id) const {
    const Control* list = find(id, GuiItemKind::DropdownList);
    return list != nullptr ? static_cast<int>(list->entries.size()) : 0;
}

int MemoryWindowSystem::listSelection(GuiItemId id) const {
    const Control* list = find(id, GuiItemKind::DropdownList);
    return list != nullptr ? list->selection : -1;
}

void MemoryWindowSystem::selectListEntry(GuiItemId id, int index) {
    Control* list = find(id, GuiItemKind::DropdownList);
    if (list == nullptr) return;
    list->selection = index >= 0 && index < static_cast<int>(list->entries.size()) ? index : -1;
}

std::string MemoryWindowSystem::listEntry(GuiItemId id, int index) const {
    const Control* list = find(id, GuiItemKind::DropdownList);
    if (list == nullptr || index < 0 || index >= static_cast<int>(list->entries.size())) return std::string();
    return list->entries[static_cast<std::size_t>(index)];
}

PixelSize MemoryWindowSystem::measureText(const std::string& text) const {
    return {static_cast<int>(text.size()) * 7, text.empty() ? 0 : 15};
}

void MemoryWindowSystem::resizeClientArea(int width, int height) {
    client = {width, height};
    ++resizeCount;
}

}  // namespace feltrix
