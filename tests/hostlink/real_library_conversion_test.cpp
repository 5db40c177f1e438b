// The snapshot read through the real interface library, in this process:
// what DllCFunc returns for values the host wrote, cut to signed 16 bits, and
// how it is published.
#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "common/lua.h"
#include "hostlink/host_publication.h"
#include "hostlink/library_loader.h"
#include "tests/support/test_area_name.h"

using namespace feltrix;

TEST(RealLibraryConversion, ArtifactAndSignedValues) {
    const feltrix::testing::TestAreaName area{"hostlink"};
    LibraryHandle library = loadLibraryFile(PELGRIN32_LIBRARY);
    ASSERT_NE(library, nullptr);
    auto dllCFunc = reinterpret_cast<DllCFuncFunction>(findLibraryExport(library, "DllCFunc"));
    auto open = reinterpret_cast<OpenFunction>(findLibraryExport(library, "Open"));
    ASSERT_NE(dllCFunc, nullptr);
    ASSERT_NE(open, nullptr);
    lua_State* L = luaL_newstate();
    luaL_openlibs(L);
    const auto published = [&](const char* expression) {
        HostVariableSnapshot s{};
        readHostVariables(dllCFunc, s);
        publishHostVariables(L, s);
        luaL_dostring(L, expression);
        std::string text = lua_tostring(L, -1);
        lua_pop(L, 1);
        return text;
    };
    // Not attached yet: every read gives -1, published as -1 and artifact true.
    EXPECT_EQ(published("return tostring(leftAlphaValue) .. ' ' .. tostring(artifact) .. ' ' .. rightResrvPhase"),
              "-1 true 0");

    ASSERT_NE(open("test"), nullptr);
    const struct {
        std::int32_t written;
        const char* value;
        const char* artifact;
    } cases[] = {{1, "1", "true"},          {-1, "-1", "true"},         {256, "256", "true"},
                 {0, "0", "false"},         {65536, "0", "false"},      {0x12345, "9029", "true"},
                 {70000, "4464", "true"},   {32768, "-32768", "true"},  {-32769, "32767", "true"},
                 {INT_MAX, "-1", "true"},   {INT_MIN, "0", "false"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.written);
        dllCFunc(-1616, c.written);  // artifact
        dllCFunc(-3, c.written);     // leftAlphaValue: a 32-bit band record field
        dllCFunc(-1790, c.written);  // event15Flag: a 16-bit word
        EXPECT_EQ(published("return tostring(artifact) .. ' ' .. leftAlphaValue .. ' ' .. event15Flag"),
                  std::string(c.artifact) + " " + c.value + " " + c.value);
    }
    lua_close(L);
}
