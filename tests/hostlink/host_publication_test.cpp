// Publication of the snapshot as script globals, and the refresh the update
// cycle runs (unbound: zeros every cycle). The values and the artifact's
// conversion are checked with the real library.
#include <gtest/gtest.h>

#include <string>

#include "common/lua.h"
#include "hostlink/host_cycle.h"
#include "hostlink/host_publication.h"
#include "hostlink/interface_binding.h"

using namespace feltrix;

namespace {

struct LuaState {
    LuaState() : L(luaL_newstate()) { luaL_openlibs(L); }
    ~LuaState() { lua_close(L); }
    // Runs `code`; returns what it returns as a string, or the error.
    std::string eval(const std::string& code) {
        const int top = lua_gettop(L);
        std::string result;
        if (luaL_dostring(L, code.c_str()) != 0) {
            result = std::string("error: ") + lua_tostring(L, -1);
        } else if (lua_gettop(L) > top) {
            result = lua_isnil(L, top + 1) ? "nil" : luaL_checkstring(L, top + 1);
        }
        lua_settop(L, top);
        return result;
    }
    lua_State* L;
};

// The published globals that are missing or not 0 (artifact: not false).
std::string notZero(lua_State* L) {
    std::string names;
    for (const PublishedVariable& v : publishedVariables()) {
        lua_pushstring(L, v.name);
        lua_rawget(L, LUA_GLOBALSINDEX);
        const bool zero = std::string(v.name) == "artifact"
                              ? lua_type(L, -1) == LUA_TBOOLEAN && !lua_toboolean(L, -1)
                              : lua_type(L, -1) == LUA_TNUMBER && lua_tonumber(L, -1) == 0;
        if (!zero) names += std::string(v.name) + " ";
        lua_pop(L, 1);
    }
    return names;
}

HostVariableSnapshot filledWith(std::int16_t value) {
    HostVariableSnapshot s{};
    for (const PublishedVariable& v : publishedVariables()) {
        std::memcpy(reinterpret_cast<unsigned char*>(&s) + v.offset, &value, sizeof value);
    }
    return s;
}

}  // namespace

TEST(HostCycle, UnboundPublishesAllGlobalsAsZeroEveryCycle) {
    resetInterfaceBindingForTesting();
    LuaState lua;
    EXPECT_EQ(lua.eval("return tostring(leftDeltaValue)"), "nil");
    for (int cycle = 0; cycle < 3; ++cycle) {
        refreshHostVariables(lua.L);
        EXPECT_EQ(notZero(lua.L), "") << "cycle " << cycle;
        // What the script wrote in between is overwritten by the next cycle.
        lua.eval("leftAlphaValue = 5 artifact = true event3Flag = 'x'");
    }
}

TEST(HostPublication, AllocatesNothingOnceTheGlobalsExistAndLeavesTheStack) {
    LuaState lua;
    lua_pushstring(lua.L, "caller's value");
    publishHostVariables(lua.L, filledWith(1));
    lua_gc(lua.L, LUA_GCCOLLECT, 0);
    lua_gc(lua.L, LUA_GCSTOP, 0);
    const auto bytesInUse = [&] { return lua_gc(lua.L, LUA_GCCOUNT, 0) * 1024 + lua_gc(lua.L, LUA_GCCOUNTB, 0); };
    const int before = bytesInUse();
    for (int cycle = 0; cycle < 2000; ++cycle) {
        publishHostVariables(lua.L, filledWith(static_cast<std::int16_t>(cycle - 1000)));
    }
    EXPECT_EQ(bytesInUse(), before);
    // Also when the script removed a global in between (its name stays interned).
    lua.eval("leftAlphaValue = nil event4ValB = nil");
    lua_gc(lua.L, LUA_GCCOLLECT, 0);
    lua_gc(lua.L, LUA_GCSTOP, 0);
    publishHostVariables(lua.L, filledWith(2));
    const int afterRemoval = bytesInUse();
    for (int cycle = 0; cycle < 100; ++cycle) publishHostVariables(lua.L, filledWith(5));
    EXPECT_EQ(bytesInUse(), afterRemoval);
    EXPECT_EQ(lua.eval("return tostring(leftAlphaValue)"), "5");
    ASSERT_EQ(lua_gettop(lua.L), 1);
    EXPECT_STREQ(lua_tostring(lua.L, 1), "caller's value");
}

TEST(HostPublication, GlobalsTableMetamethodsDoNotRun) {
    // Publication runs outside the script lock and outside any protected
    // call: a script's strict-globals guard must neither run nor fail it.
    LuaState lua;
    EXPECT_EQ(lua.eval(R"(
      calls = 0
      setmetatable(_G, {__newindex = function(t, k, v) calls = calls + 1 error("undeclared " .. k) end})
      return "ok")"),
              "ok");
    publishHostVariables(lua.L, filledWith(9));
    EXPECT_EQ(lua.eval("return tostring(rawget(_G, 'calls')) .. ' ' .. tostring(rightGammaMode)"), "0 9");
}
