#pragma once
// The GUI functions scripts call (controls, rectangles, lists, tooltips, file
// dialogs, message box). Registered by registerScriptFunctions
// (app/script_functions.h).
#include "common/lua.h"

namespace feltrix {

int luaAddCheckbox(lua_State* L);
int luaAddSlider(lua_State* L);
int luaAddDropdownList(lua_State* L);
int luaAddPushButton(lua_State* L);
int luaAddLabel(lua_State* L);
int luaAddRectangle(lua_State* L);
int luaCheckCheckbox(lua_State* L);
int luaSetSliderPosition(lua_State* L);
int luaAddDropdownListItem(lua_State* L);
int luaGetDropdownListCount(lua_State* L);
int luaGetDropdownListSelection(lua_State* L);
int luaGetDropdownListItem(lua_State* L);
int luaRemoveDropdownListItem(lua_State* L);
int luaSelectDropdownListItem(lua_State* L);
int luaSetLabelText(lua_State* L);
int luaSetTooltip(lua_State* L);
int luaRemoveGuiItem(lua_State* L);
int luaResetGui(lua_State* L);
int luaSetItemPosition(lua_State* L);
int luaSetItemSize(lua_State* L);
int luaSetItemEnabled(lua_State* L);
int luaSetItemColor(lua_State* L);
int luaSetItemHidden(lua_State* L);
int luaOpenFileDialog(lua_State* L);
int luaOpenFileDialogScript(lua_State* L);
int luaOpenFileDialogConfig(lua_State* L);
int luaMessageBox(lua_State* L);

}  // namespace feltrix
