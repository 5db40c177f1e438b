// Publication of the snapshot as script globals, the refresh the update cycle
// runs (unbound: zeros every cycle), and reads through the real library.
#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "common/lua.h"
#include "hostlink/host_cycle.h"
#include "hostlink/host_publication.h"
#include "hostlink/interface_binding.h"
#include "hostlink/library_loader.h"
#include "tests/support/test_area_name.h"

using namespace feltrix;

namespace {

struct LuaState {
    LuaState() : L(luaL_newstate()) { luaL_openlibs(L); }
    ~LuaState() { lua_close(L); }
    // Runs `code`; returns what it returns as a string, or the error.
    std::string eval(const std::string& code) {
        const int top = lua_gettop(L);
        const bool ok = luaL_dostring(L, code.c_str()) == 0;
        std::string result = lua_gettop(L) > top && lua_isstring(L, -1) ? lua_tostring(L, -1) : "";
        lua_settop(L, top);
        return ok ? result : "error: " + result;
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
    for (const PublishedVariable& v : publishedVariables())
        std::memcpy(reinterpret_cast<unsigned char*>(&s) + v.offset, &value, sizeof value);
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

// Also when the script removed a global in between (its name stays interned).
TEST(HostPublication, AllocatesNothingOnceTheGlobalsExistAndLeavesTheStack) {
    LuaState lua;
    lua_pushstring(lua.L, "caller's value");
    const auto bytesInUse = [&] { return lua_gc(lua.L, LUA_GCCOUNT, 0) * 1024 + lua_gc(lua.L, LUA_GCCOUNTB, 0); };
    for (const char* between : {"", "leftAlphaValue = nil event4ValB = nil"}) {
        lua.eval(between);
        publishHostVariables(lua.L, filledWith(1));
        lua_gc(lua.L, LUA_GCCOLLECT, 0);
        lua_gc(lua.L, LUA_GCSTOP, 0);
        const int before = bytesInUse();
        for (int cycle = 0; cycle < 500; ++cycle) publishHostVariables(lua.L, filledWith(std::int16_t(cycle - 250)));
        EXPECT_EQ(bytesInUse(), before) << between;
    }
    EXPECT_EQ(lua.eval("return tostring(leftAlphaValue)"), "249");
    ASSERT_EQ(lua_gettop(lua.L), 1);
    EXPECT_STREQ(lua_tostring(lua.L, 1), "caller's value");
}

// Publication runs outside the script lock and any protected call: a
// script's strict-globals guard must neither run nor fail it.
TEST(HostPublication, GlobalsTableMetamethodsDoNotRun) {
    LuaState lua;
    lua.eval("calls = 0 setmetatable(_G, {__newindex = function(t, k) calls = calls + 1 error(k) end})");
    publishHostVariables(lua.L, filledWith(9));
    EXPECT_EQ(lua.eval("return tostring(rawget(_G, 'calls')) .. ' ' .. tostring(rightGammaMode)"), "0 9");
}

// What DllCFunc returns for values the host wrote, cut to signed 16 bits, and
// how it is published.
TEST(RealLibraryConversion, ArtifactAndSignedValues) {
    const feltrix::testing::TestAreaName area{"hostlink"};
    LibraryHandle library = loadLibraryFile(PELGRIN32_LIBRARY);
    auto dllCFunc = reinterpret_cast<DllCFuncFunction>(findLibraryExport(library, "DllCFunc"));
    auto open = reinterpret_cast<OpenFunction>(findLibraryExport(library, "Open"));
    ASSERT_TRUE(dllCFunc != nullptr && open != nullptr);
    LuaState lua;
    const auto published = [&](const char* expression) {
        HostVariableSnapshot s{};
        readHostVariables(dllCFunc, s);
        publishHostVariables(lua.L, s);
        return lua.eval(expression);
    };
    // Not attached yet: every read gives -1, published as -1 and artifact true.
    EXPECT_EQ(published("return tostring(leftAlphaValue) .. ' ' .. tostring(artifact) .. ' ' .. rightResrvPhase"),
              "-1 true 0");
    ASSERT_NE(open("test"), nullptr);
    // Written; then artifact, leftAlphaValue (a 32-bit field) and event15Flag (a 16-bit word) as published.
    const std::pair<std::int32_t, const char*> cases[] = {
        {1, "true 1 1"},       {-1, "true -1 -1"},          {256, "true 256 256"},       {0, "false 0 0"},
        {65536, "false 0 0"},  {0x12345, "true 9029 9029"}, {70000, "true 4464 4464"},   {INT_MIN, "false 0 0"},
        {INT_MAX, "true -1 -1"}, {32768, "true -32768 -32768"}, {-32769, "true 32767 32767"}};
    for (const auto& [written, seen] : cases) {
        for (const int index : {1616, 3, 1790}) dllCFunc(-index, written);
        EXPECT_EQ(published("return tostring(artifact) .. ' ' .. leftAlphaValue .. ' ' .. event15Flag"), seen);
    }
}
