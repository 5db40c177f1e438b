// The snapshot read through the real interface library, in this process:
// what DllCFunc returns for words the host wrote, and how it is published.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "common/lua.h"
#include "hostlink/host_publication.h"
#include "hostlink/library_loader.h"
#include "tests/hostlink/shared_area_name.h"

using namespace feltrix;

TEST(RealLibraryConversion, ArtifactAndSignedValues) {
    const feltrix::testing::TestAreaName area;
    ASSERT_EQ(setenv("PELGRIN32_AREA_NAME", area.name().c_str(), 1), 0);
    LibraryHandle library = loadLibraryFile(PELGRIN32_LIBRARY);
    ASSERT_NE(library, nullptr);
    auto dllCFunc = reinterpret_cast<DllCFuncFunction>(findLibraryExport(library, "DllCFunc"));
    auto open = reinterpret_cast<OpenFunction>(findLibraryExport(library, "Open"));
    ASSERT_NE(dllCFunc, nullptr);
    ASSERT_NE(open, nullptr);
    lua_State* L = luaL_newstate();
    luaL_openlibs(L);

    // Not attached yet: every read gives -1, published as -1 and artifact true.
    HostVariableSnapshot s{};
    readHostVariables(dllCFunc, s);
    publishHostVariables(L, s);
    luaL_dostring(L, "return tostring(leftAlphaValue) .. ' ' .. tostring(artifact) .. ' ' .. tostring(rightResrvPhase)");
    EXPECT_STREQ(lua_tostring(L, -1), "-1 true 0");
    lua_pop(L, 1);

    ASSERT_NE(open("test"), nullptr);
    const struct {
        std::int32_t written;
        const char* value;
        const char* artifact;
    } cases[] = {{1, "1", "true"},      {-1, "-1", "true"},  {256, "256", "true"},
                 {0, "0", "false"},     {65536, "0", "false"}, {0x12345, "9029", "true"},
                 {70000, "4464", "true"}, {32768, "-32768", "true"}};
    for (const auto& c : cases) {
        dllCFunc(-1616, c.written);  // artifact
        dllCFunc(-3, c.written);     // leftAlphaValue: a 32-bit band record field
        dllCFunc(-1790, c.written);  // event15Flag: a 16-bit word
        readHostVariables(dllCFunc, s);
        publishHostVariables(L, s);
        luaL_dostring(L, "return tostring(artifact) .. ' ' .. leftAlphaValue .. ' ' .. event15Flag");
        EXPECT_EQ(std::string(lua_tostring(L, -1)), std::string(c.artifact) + " " + c.value + " " + c.value)
            << c.written;
        lua_pop(L, 1);
    }
    lua_close(L);
    unsetenv("PELGRIN32_AREA_NAME");
}
