#include "hostlink/host_publication.h"

#include <cassert>

namespace feltrix {
namespace {

// Its address is the registry key of the table of interned global names.
const char kNamesKey = 0;

// Pushes the array of the 283 global names (as Lua strings), creating it on
// the first call for this state.
void pushGlobalNames(lua_State* L) {
    lua_pushlightuserdata(L, const_cast<char*>(&kNamesKey));
    lua_rawget(L, LUA_REGISTRYINDEX);
    if (lua_istable(L, -1)) return;
    lua_pop(L, 1);
    const auto& published = publishedVariables();
    lua_createtable(L, static_cast<int>(published.size()), 0);
    for (std::size_t i = 0; i < published.size(); ++i) {
        lua_pushstring(L, published[i].name);
        lua_rawseti(L, -2, static_cast<int>(i + 1));
    }
    lua_pushlightuserdata(L, const_cast<char*>(&kNamesKey));
    lua_pushvalue(L, -2);
    lua_rawset(L, LUA_REGISTRYINDEX);
}

}  // namespace

void publishHostVariables(lua_State* L, const HostVariableSnapshot& snapshot) {
    const int top = lua_gettop(L);
    lua_pushvalue(L, LUA_GLOBALSINDEX);
    pushGlobalNames(L);
    // Stack: globals, names.
    const auto& published = publishedVariables();
    for (std::size_t i = 0; i < published.size(); ++i) {
        const PublishedVariable& variable = published[i];
        const std::int16_t value = snapshotField(snapshot, variable.offset);
        lua_rawgeti(L, top + 2, static_cast<int>(i + 1));
        if (variable.isBoolean) {
            lua_pushboolean(L, value != 0);
        } else {
            lua_pushnumber(L, value);
        }
        lua_rawset(L, top + 1);
    }
    lua_settop(L, top);
    assert(lua_gettop(L) == top);
}

}  // namespace feltrix
