#pragma once
// Every function a script can call, registered from one table.
#include "common/lua.h"

namespace feltrix {

// Registers `exit`, the audio functions, tryLoadQuenterra, the GUI functions,
// loadConfig, saveConfig, messageBox and the OSC functions as plain globals of `L` (native
// closures without upvalues). The functions reach the program's parts through
// their process-wide accessors: the audio engine, the GUI item registry, the
// modal windows and the active script host (for the update interval).
void registerScriptFunctions(lua_State* L);

}  // namespace feltrix
