// tryLoadQuenterra's steps and state transitions, against a fake platform
// that counts what the binding asks of it.
#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "common/lua.h"
#include "hostlink/interface_binding.h"
#include "hostlink/try_load_quenterra.h"

using namespace feltrix;

namespace {

struct FakePlatform {
    bool loads = true, hasDllCFunc = true, hasOpen = true;
    int openFailures = 0, loadCalls = 0, dllCFuncLookups = 0, openCalls = 0;  // Opens failing first
    std::string openText;
};
FakePlatform fake;
char fakeLibrary, fakeHostBlock;

std::int32_t fakeDllCFunc(std::int32_t index, std::int32_t) { return index; }
void* fakeOpen(const char* text) {
    return fake.openText = text, fake.openCalls++ < fake.openFailures ? nullptr : &fakeHostBlock;
}
LibraryHandle fakeLoad() { return ++fake.loadCalls, fake.loads ? &fakeLibrary : nullptr; }
void* fakeFind(LibraryHandle library, const char* name) {
    EXPECT_EQ(library, &fakeLibrary);
    const std::string export_ = name;
    if (export_ == "DllCFunc" && ++fake.dllCFuncLookups)
        return fake.hasDllCFunc ? reinterpret_cast<void*>(fakeDllCFunc) : nullptr;
    EXPECT_EQ(export_, "Open");
    return fake.hasOpen ? reinterpret_cast<void*>(fakeOpen) : nullptr;
}

class TryLoadQuenterra : public ::testing::Test {
protected:
    void SetUp() override {
        resetInterfaceBindingForTesting();
        fake = FakePlatform{};
        setLibraryAccess({fakeLoad, fakeFind});
        L = luaL_newstate();
        luaL_openlibs(L);
        lua_register(L, "tryLoadQuenterra", luaTryLoadQuenterra);
    }
    void TearDown() override {
        if (L != nullptr) lua_close(L);
        resetInterfaceBindingForTesting();
    }
    // Calls tryLoadQuenterra with arguments it ignores, under pcall; returns "ok" (no results) or the
    // error message, followed by the value of quenterraConnected afterwards.
    std::string call() {
        luaL_dostring(L, "local function seen(ok, ...)\n"
                         "  return ok and select('#', ...) == 0 and 'ok' or tostring(...) end\n"
                         "return seen(pcall(tryLoadQuenterra, 1, 'x', {})) .. ' | ' .. tostring(quenterraConnected)");
        const std::string result = lua_tostring(L, -1);
        return lua_pop(L, 1), result;
    }
    lua_State* L = nullptr;
};

}  // namespace

// A failure sets quenterraConnected false and raises its text; a retry loads again only after a
// failed load. Once bound, a call does nothing: quenterraConnected keeps whatever it holds.
TEST_F(TryLoadQuenterra, EachFailureSetsConnectedFalseRaisesItsTextAndIsRetried) {
    // The calls counted are those after the retry.
    const struct { const char* what; bool loads, hasDllCFunc, hasOpen; int openFailures; const char* result;
                   int loadCalls, dllCFuncLookups, openCalls; } cases[] = {
        {"no failure", true, true, true, 0, "ok", 1, 1, 1},
        {"library absent", false, true, true, 0,
         "libpelgrin32.so could not be loaded. Make sure Quenterra is installed on your system.", 2, 1, 1},
        {"no DllCFunc", true, false, true, 0, "Error loading DllCFunc from libpelgrin32.so.", 1, 2, 1},
        {"no Open", true, true, false, 0, "Error loading Open from libpelgrin32.so.", 1, 2, 1},
        {"Open fails", true, true, true, 1,
         "Open from libpelgrin32.so could not attach to the shared memory area. Make sure shared memory "
         "(/dev/shm) is available and writable, and that Quenterra runs as the same user as Feltrix.", 1, 2, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TearDown();  // a fresh, unbound program for each case
        SetUp();
        fake = {c.loads, c.hasDllCFunc, c.hasOpen, c.openFailures, 0, 0, 0, {}};
        const bool fails = std::string(c.result) != "ok";
        luaL_dostring(L, "quenterraConnected = true");
        EXPECT_EQ(call(), std::string(c.result) + (fails ? " | false" : " | true"));
        EXPECT_EQ(boundDllCFunc() == nullptr, fails);
        fake.loads = fake.hasDllCFunc = fake.hasOpen = true;
        if (fails) { EXPECT_EQ(call(), "ok | true"); }
        const auto bound = boundDllCFunc();
        ASSERT_NE(bound, nullptr);
        EXPECT_EQ(bound(129, 0), 129);
        luaL_dostring(L, "quenterraConnected = 'left alone'");
        EXPECT_EQ(call(), "ok | left alone");
        EXPECT_EQ(boundDllCFunc(), bound);
        EXPECT_EQ(std::tie(fake.loadCalls, fake.dllCFuncLookups, fake.openCalls),
                  std::tie(c.loadCalls, c.dllCFuncLookups, c.openCalls));
        EXPECT_EQ(fake.openText, kOpenArgument);
    }
}
