#pragma once
// The script functions that send Open Sound Control over UDP: oscSend,
// oscSendTyped and oscSendBundle. Registered by registerScriptFunctions
// (script_functions.h). Each returns true once its packet was handed to the
// network, otherwise false and the reason; only wrong arguments raise errors.
#include "common/lua.h"

namespace feltrix {

int luaOscSend(lua_State* L);
int luaOscSendTyped(lua_State* L);
int luaOscSendBundle(lua_State* L);

}  // namespace feltrix
