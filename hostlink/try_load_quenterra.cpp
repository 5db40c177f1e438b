#include "hostlink/try_load_quenterra.h"

#include "hostlink/interface_binding.h"

namespace feltrix {
namespace {

// Error texts; %s is the library's file name.
constexpr const char* kLoadFailedText = "%s could not be loaded. Make sure Quenterra is installed on your system.";
constexpr const char* kDllCFuncMissingText = "Error loading DllCFunc from %s.";
constexpr const char* kOpenMissingText = "Error loading Open from %s.";
constexpr const char* kOpenFailedText =
    "Open from %s could not attach to the shared memory area. Make sure shared memory (/dev/shm) "
    "is available and writable, and that Quenterra runs as the same user as Feltrix.";

const char* failureText(BindOutcome outcome) {
    switch (outcome) {
        case BindOutcome::LoadFailed: return kLoadFailedText;
        case BindOutcome::DllCFuncMissing: return kDllCFuncMissingText;
        case BindOutcome::OpenMissing: return kOpenMissingText;
        case BindOutcome::OpenFailed: return kOpenFailedText;
        case BindOutcome::Bound:
        case BindOutcome::AlreadyBound: break;
    }
    return nullptr;
}

}  // namespace

int luaTryLoadQuenterra(lua_State* L) {
    const BindOutcome outcome = bindInterfaceLibrary();
    // An earlier success: quenterraConnected stays as it is.
    if (outcome == BindOutcome::AlreadyBound) return 0;
    // The global is set before any error, so a script catching the error
    // finds it false.
    lua_pushboolean(L, outcome == BindOutcome::Bound ? 1 : 0);
    lua_setfield(L, LUA_GLOBALSINDEX, "quenterraConnected");
    if (outcome == BindOutcome::Bound) return 0;
    lua_pushfstring(L, failureText(outcome), kInterfaceLibraryFileName);
    return lua_error(L);
}

}  // namespace feltrix
