#pragma once
#include "common/lua.h"

namespace feltrix {

// Script functions loadConfig(path) and saveConfig(text).
int luaLoadConfig(lua_State* L);
int luaSaveConfig(lua_State* L);

}  // namespace feltrix
