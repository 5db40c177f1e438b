// The GUI functions scripts call: each checks its arguments, converts them
// and hands the work to the item registry or the modal windows.
#include "gui/gui_functions.h"

#include <cstdint>
#include <cstdio>

#include "common/script_args.h"
#include "gui/item_registry.h"
#include "gui/layout.h"
#include "gui/modal_ui.h"
#include "gui/script_callbacks.h"

namespace feltrix {
namespace {

// ---- argument checks --------------------------------------------------------
// Message texts are built into plain buffers, so a raised error never skips a
// destructor.

struct MessageFormat {
    char text[128];
};

MessageFormat argumentFormat(int index, const char* function, const char* kind) {
    MessageFormat format{};
    std::snprintf(format.text, sizeof format.text, "incorrect argument #%d to %s: %s expected, got %%s", index,
                  function, kind);
    return format;
}

int intArgument(lua_State* L, int index, const char* function) {
    return toInt32(checkNumberArgument(L, index, argumentFormat(index, function, "number").text));
}

// As intArgument, but an absent argument is named "no value", as the scripting
// library names an empty stack slot (the texts of luaAddLabel and
// luaSetItemColor have always read so).
int intArgumentNamingNoValue(lua_State* L, int index, const char* function) {
    if (index > lua_gettop(L) || !lua_isnumber(L, index)) {
        lua_pushfstring(L, argumentFormat(index, function, "number").text, luaL_typename(L, index));
        lua_error(L);
    }
    return toInt32(lua_tonumber(L, index));
}

const char* stringArgument(lua_State* L, int index, const char* function) {
    return checkStringArgument(L, index, argumentFormat(index, function, "string").text);
}

bool booleanArgument(lua_State* L, int index, const char* function) {
    if (index > lua_gettop(L) || !lua_isboolean(L, index)) {
        raiseArgumentError(L, index, argumentFormat(index, function, "boolean").text);
    }
    return lua_toboolean(L, index) != 0;
}

[[noreturn]] void raiseNoItem(lua_State* L, int id) {
    lua_pushfstring(L, "no gui item with id %d", id);
    lua_error(L);
    __builtin_unreachable();
}

const GuiItem& existingItem(lua_State* L, int id) {
    const GuiItem* item = guiItems().findGuiItem(id);
    if (item == nullptr) raiseNoItem(L, id);
    return *item;
}

// Colour components keep the low 16 bits of their integer.
std::uint16_t colorComponent(int value) { return static_cast<std::uint16_t>(static_cast<std::uint32_t>(value)); }

WindowSystem* windows() { return guiItems().windowSystem(); }

int pushId(lua_State* L, GuiItemId id) {
    lua_pushnumber(L, id);
    return 1;
}

int listCount(GuiItemId id) { return windows() != nullptr ? windows()->listCount(id) : 0; }

// The index checks shared by reading, removing and selecting an entry.
void checkListIndex(lua_State* L, GuiItemId id, int index) {
    if (index < 0) {
        lua_pushfstring(L, "invalid list index: %d", index);
        lua_error(L);
    }
    const int count = listCount(id);
    if (index >= count) {
        lua_pushfstring(L, "invalid list index: %d (list has only %d elements)", index, count);
        lua_error(L);
    }
}

// ---- modal windows ----------------------------------------------------------

int openDialog(lua_State* L, const char* supported, const char* described, const char* patterns) {
    bool chosen = false;
    {
        FileDialogRequest request;
        request.filters = {{supported, patterns}, {described, patterns}};
        request.mustExist = true;
        const std::optional<std::string> path = showFileDialog(request);
        if (path) {
            lua_pushlstring(L, path->data(), path->size());
            chosen = true;
        }
    }
    return chosen ? 1 : 0;
}

}  // namespace

// ---- creating items ---------------------------------------------------------

int luaAddCheckbox(lua_State* L) {
    const char* text = stringArgument(L, 1, "luaAddCheckbox");
    const int x = intArgument(L, 2, "luaAddCheckbox");
    const int y = intArgument(L, 3, "luaAddCheckbox");
    return pushId(L, guiItems().createCheckbox(text, x, y));
}

int luaAddSlider(lua_State* L) {
    const char* text = stringArgument(L, 1, "luaAddSlider");
    stringArgument(L, 2, "luaAddSlider");
    stringArgument(L, 3, "luaAddSlider");
    const int x = intArgument(L, 4, "luaAddSlider");
    const int y = intArgument(L, 5, "luaAddSlider");
    // The initial value is a fraction of the range; the slider clamps it.
    const lua_Number initial =
        checkNumberArgument(L, 6, argumentFormat(6, "luaAddSlider", "number").text) * kSliderMaximum;
    return pushId(L, guiItems().createSlider(text, x, y, toInt32(initial)));
}

int luaAddDropdownList(lua_State* L) {
    const char* caption = stringArgument(L, 1, "luaAddDropdownList");
    const int x = intArgument(L, 2, "luaAddDropdownList");
    const int y = intArgument(L, 3, "luaAddDropdownList");
    const int width = intArgument(L, 4, "luaAddDropdownList");
    const int height = intArgument(L, 5, "luaAddDropdownList");
    return pushId(L, guiItems().createDropdownList(caption, x, y, width, height));
}

int luaAddPushButton(lua_State* L) {
    const char* text = stringArgument(L, 1, "luaAddPushButton");
    const int x = intArgument(L, 2, "luaAddPushButton");
    const int y = intArgument(L, 3, "luaAddPushButton");
    const int width = intArgument(L, 4, "luaAddPushButton");
    const int height = intArgument(L, 5, "luaAddPushButton");
    return pushId(L, guiItems().createPushButton(text, x, y, width, height));
}

int luaAddLabel(lua_State* L) {
    const char* text = stringArgument(L, 1, "luaAddLabel");
    const int x = intArgument(L, 2, "luaAddLabel");
    const int y = intArgument(L, 3, "luaAddLabel");
    const int width = intArgumentNamingNoValue(L, 4, "luaAddLabel");
    const int height = intArgumentNamingNoValue(L, 5, "luaAddLabel");
    return pushId(L, guiItems().createLabel(text, x, y, width, height));
}

int luaAddRectangle(lua_State* L) {
    int values[9];
    for (int i = 0; i < 9; ++i) values[i] = intArgument(L, i + 1, "luaAddRectangle");
    const GuiColor color{colorComponent(values[4]), colorComponent(values[5]), colorComponent(values[6]),
                         colorComponent(values[7])};
    return pushId(L, guiItems().createRectangle(values[0], values[1], values[2], values[3], color, values[8]));
}

// ---- check boxes and sliders ------------------------------------------------

int luaCheckCheckbox(lua_State* L) {
    const int id = intArgument(L, 1, "luaCheckCheckbox");
    const bool checked = booleanArgument(L, 2, "luaCheckCheckbox");
    if (existingItem(L, id).kind != GuiItemKind::Checkbox) {
        lua_pushfstring(L, "gui item %d is not a checkbox", id);
        lua_error(L);
    }
    WindowSystem* ws = windows();
    if (ws == nullptr || ws->isChecked(id) == checked) return 0;
    ws->setChecked(id, checked);
    // Delivered nested in the running script call; the script lock lets its
    // holder in again.
    if (ScriptCallbacks* host = scriptCallbacks()) host->invokeGuiMessage(id, checked);
    return 0;
}

int luaSetSliderPosition(lua_State* L) {
    const int id = intArgument(L, 1, "luaSetSliderPosition");
    const int position = intArgument(L, 2, "luaSetSliderPosition");
    const GuiItem* item = guiItems().findGuiItem(id);
    if (item != nullptr && item->kind == GuiItemKind::Slider && windows() != nullptr) {
        windows()->setSliderPosition(id, position);
    }
    return 0;
}

// ---- drop-down lists --------------------------------------------------------

int luaAddDropdownListItem(lua_State* L) {
    const int id = intArgument(L, 1, "luaAddDropdownListItem");
    const char* text = stringArgument(L, 2, "luaAddDropdownListItem");
    const int index = intArgument(L, 3, "luaAddDropdownListItem");
    const bool select = booleanArgument(L, 4, "luaAddDropdownListItem");
    existingItem(L, id);
    guiItems().insertDropdownListEntry(id, text, index, select);
    return 0;
}

int luaGetDropdownListCount(lua_State* L) {
    const int id = intArgument(L, 1, "luaGetDropdownListCount");
    lua_pushnumber(L, listCount(id));
    return 1;
}

int luaGetDropdownListSelection(lua_State* L) {
    const int id = intArgument(L, 1, "luaGetDropdownListSelection");
    lua_pushnumber(L, windows() != nullptr ? windows()->listSelection(id) : -1);
    return 1;
}

int luaGetDropdownListItem(lua_State* L) {
    const int id = intArgument(L, 1, "luaGetDropdownListItem");
    const int index = intArgument(L, 2, "luaGetDropdownListItem");
    checkListIndex(L, id, index);
    const std::string text = windows()->listEntry(id, index);
    lua_pushlstring(L, text.data(), text.size());
    return 1;
}

int luaRemoveDropdownListItem(lua_State* L) {
    const int id = intArgument(L, 1, "luaRemoveDropdownListItem");
    const int index = intArgument(L, 2, "luaRemoveDropdownListItem");
    checkListIndex(L, id, index);
    windows()->removeListEntry(id, index);
    return 0;
}

int luaSelectDropdownListItem(lua_State* L) {
    const int id = intArgument(L, 1, "luaSelectDropdownListItem");
    const int index = intArgument(L, 2, "luaSelectDropdownListItem");
    checkListIndex(L, id, index);
    windows()->selectListEntry(id, index);
    return 0;
}

// ---- changing and removing items --------------------------------------------

int luaSetLabelText(lua_State* L) {
    const int id = intArgument(L, 1, "luaSetLabelText");
    const char* text = stringArgument(L, 2, "luaSetLabelText");
    guiItems().setItemText(id, text);
    return 0;
}

int luaSetTooltip(lua_State* L) {
    const int id = intArgument(L, 1, "luaSetTooltip");
    const char* text = stringArgument(L, 2, "luaSetTooltip");
    existingItem(L, id);
    guiItems().setTooltip(id, text);
    return 0;
}

int luaRemoveGuiItem(lua_State* L) {
    const int id = intArgument(L, 1, "luaRemoveGuiItem");
    existingItem(L, id);
    guiItems().removeGuiItem(id);
    return 0;
}

int luaResetGui(lua_State*) {
    guiItems().resetGui();
    return 0;
}

int luaSetItemPosition(lua_State* L) {
    const int id = intArgument(L, 1, "luaSetItemPosition");
    const int x = intArgument(L, 2, "luaSetItemPosition");
    const int y = intArgument(L, 3, "luaSetItemPosition");
    existingItem(L, id);
    guiItems().setItemPosition(id, x, y);
    return 0;
}

int luaSetItemSize(lua_State* L) {
    const int id = intArgument(L, 1, "luaSetItemSize");
    const int width = intArgument(L, 2, "luaSetItemSize");
    const int height = intArgument(L, 3, "luaSetItemSize");
    existingItem(L, id);
    guiItems().setItemSize(id, width, height);
    return 0;
}

int luaSetItemEnabled(lua_State* L) {
    const int id = intArgument(L, 1, "luaSetItemEnabled");
    const bool enabled = booleanArgument(L, 2, "luaSetItemEnabled");
    existingItem(L, id);
    guiItems().setItemEnabled(id, enabled);
    return 0;
}

int luaSetItemColor(lua_State* L) {
    const int id = intArgument(L, 1, "luaSetItemColor");
    const int red = intArgument(L, 2, "luaSetItemColor");
    const int green = intArgument(L, 3, "luaSetItemColor");
    const int blue = intArgumentNamingNoValue(L, 4, "luaSetItemColor");
    const int alpha = intArgumentNamingNoValue(L, 5, "luaSetItemColor");
    if (!existingItem(L, id).rectangle) {
        lua_pushstring(L, "item does not support color");
        lua_error(L);
    }
    guiItems().setRectangleColor(
        id, {colorComponent(red), colorComponent(green), colorComponent(blue), colorComponent(alpha)});
    return 0;
}

int luaSetItemHidden(lua_State* L) {
    const int id = intArgument(L, 1, "luaSetItemHidden");
    const bool hidden = booleanArgument(L, 2, "luaSetItemHidden");
    existingItem(L, id);
    guiItems().setItemHidden(id, hidden);
    return 0;
}

int luaOpenFileDialog(lua_State* L) {
    return openDialog(L, "All Supported Files", "Audio File (*.ogg, *.mp3, *.wav)", "*.WAV;*.OGG;*.MP3");
}

int luaOpenFileDialogScript(lua_State* L) {
    return openDialog(L, "All Supported Files", "Lua File (*.lua)", "*.LUA");
}

int luaOpenFileDialogConfig(lua_State* L) {
    return openDialog(L, "All Supported Files", "Feltrix Configuration (*.fxc)", "*.FXC");
}

int luaMessageBox(lua_State* L) {
    const char* text = stringArgument(L, 1, "luaMessageBox");
    showMessageBox("Feltrix", text, true);
    return 0;
}

}  // namespace feltrix
