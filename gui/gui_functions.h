#pragma once
#include "common/lua.h"

namespace feltrix {

// Registers the GUI functions (with loadConfig and saveConfig) as globals.
void registerGuiFunctions(lua_State* L);

}  // namespace feltrix
