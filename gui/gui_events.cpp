#include "gui/gui_events.h"

#include "app/script_host.h"
#include "gui/item_registry.h"

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
    ScriptHost* host = activeScriptHost();
    if (host == nullptr || !isItemOfKind(id, GuiItemKind::PushButton)) return;
    host->invokeGuiMessage(id);
}

void deliverCheckboxClick(GuiItemId id) {
    ScriptHost* host = activeScriptHost();
    WindowSystem* windows = guiItems().windowSystem();
    if (host == nullptr || windows == nullptr || !isItemOfKind(id, GuiItemKind::Checkbox)) return;
    const bool nowChecked = !windows->isChecked(id);
    windows->setChecked(id, nowChecked);
    host->invokeGuiMessage(id, nowChecked);
}

void deliverSliderNotification(GuiItemId id, int position) {
    // Every slider reports, registered or not.
    if (ScriptHost* host = activeScriptHost()) host->invokeGuiMessage(id, position);
}

void deliverDropdownListSelection(GuiItemId id, const std::string& text) {
    ScriptHost* host = activeScriptHost();
    if (host == nullptr || !isItemOfKind(id, GuiItemKind::DropdownList)) return;
    host->invokeGuiMessage(id, text.c_str());
}

}  // namespace feltrix
