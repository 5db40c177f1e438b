#pragma once
#include "common/lua.h"

namespace feltrix {

// Registers `exit` and the audio and timing functions as plain globals, in
// their fixed order, then the GUI functions.
void registerAudioFunctions(lua_State* L);

}  // namespace feltrix
