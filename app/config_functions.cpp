#include "app/config_functions.h"

namespace feltrix {

int luaLoadConfig(lua_State*) { return 0; }
int luaSaveConfig(lua_State*) { return 0; }

}  // namespace feltrix
