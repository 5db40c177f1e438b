#include "gui/gui_events.h"

#include "gui/item_registry.h"
#include "gui/script_callbacks.h"

namespace feltrix {
namespace {

// The item of `id` if it is of `kind`; notifications from controls that were
// just removed find nothing and are dropped.
bool isItemOfKind(GuiItemId id, GuiItemKind kind) {
    const GuiItem* item = guiItems().findGuiItem(id);
    return item != nullptr && item->kind == kind;
}

}  // namespace

void deliverPushButtonClick(GuiItemId id) {
    ScriptCallbacks* host = scriptCallbacks();
    if (host == nullptr || !isItemOfKind(id, GuiItemKind::PushButton)) return;
    host->invokeGuiMessage(id);
}

void deliverCheckboxClick(GuiItemId id) {
    ScriptCallbacks* host = scriptCallbacks();
    WindowSystem* windows = guiItems().windowSystem();
    if (host == nullptr || windows == nullptr || !isItemOfKind(id, GuiItemKind::Checkbox)) return;
    const bool nowChecked = !windows->isChecked(id);
    windows->setChecked(id, nowChecked);
    host->invokeGuiMessage(id, nowChecked);
}

void deliverSliderNotification(GuiItemId id, int position) {
    // Every slider reports, registered or not.
    if (ScriptCallbacks* host = scriptCallbacks()) host->invokeGuiMessage(id, position);
}

void deliverDropdownListSelection(GuiItemId id, const std::string& text) {
    ScriptCallbacks* host = scriptCallbacks();
    if (host == nullptr || !isItemOfKind(id, GuiItemKind::DropdownList)) return;
    host->invokeGuiMessage(id, text.c_str());
}

}  // namespace feltrix
