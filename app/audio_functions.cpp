#include "app/audio_functions.h"

#include <cstdio>
#include <cstdlib>

#include "app/script_host.h"
#include "common/script_args.h"
#include "gui/gui_functions.h"

namespace feltrix {
namespace {

int luaExit(lua_State*) {
    std::fflush(stdout);
    std::exit(0);
}

int luaSetUpdateInterval(lua_State* L) {
    const lua_Number seconds =
        checkNumberArgument(L, 1, "incorrect argument #1 to setUpdateInterval: number expected, got %s");
    const double ms = seconds * 1000.0;
    // Truncated toward zero into 32 bits; values out of range saturate.
    int periodMs = ms >= 2147483647.0 ? 2147483647 : ms <= -2147483648.0 ? -2147483647 - 1 : static_cast<int>(ms);
    if (ScriptHost* host = activeScriptHost()) host->changeUpdateInterval(periodMs);
    return 0;
}

int luaGetUpdateInterval(lua_State* L) {
    const ScriptHost* host = activeScriptHost();
    const int ms = host != nullptr ? host->updateInterval() : kDefaultUpdateIntervalMs;
    lua_pushnumber(L, ms / 1000.0);
    return 1;
}

struct Registration {
    const char* name;
    lua_CFunction function;
};

const Registration kAudioFunctions[] = {
    {"exit", luaExit},
    {"setUpdateInterval", luaSetUpdateInterval},
    {"getUpdateInterval", luaGetUpdateInterval},
};

}  // namespace

void registerAudioFunctions(lua_State* L) {
    for (const Registration& entry : kAudioFunctions) {
        lua_pushcclosure(L, entry.function, 0);
        lua_setfield(L, LUA_GLOBALSINDEX, entry.name);
    }
    registerGuiFunctions(L);
}

}  // namespace feltrix
