#pragma once
#include "common/lua.h"

namespace feltrix {

// Takes the host-variable snapshot when the interface library is bound, then
// publishes it as script globals (zeros while unbound). Runs every update
// cycle, outside the script lock.
void refreshHostVariables(lua_State* L);

}  // namespace feltrix
