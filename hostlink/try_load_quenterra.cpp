#include "hostlink/try_load_quenterra.h"

#include "hostlink/binding_texts.h"
#include "hostlink/interface_binding.h"

namespace feltrix {
namespace {

const char* failureText(BindOutcome outcome) {
    switch (outcome) {
        case BindOutcome::LoadFailed: return kBindingTexts.loadFailed;
        case BindOutcome::DllCFuncMissing: return kBindingTexts.dllCFuncMissing;
        case BindOutcome::OpenMissing: return kBindingTexts.openMissing;
        case BindOutcome::OpenFailed: return kBindingTexts.openFailed;
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
    lua_pushstring(L, failureText(outcome));
    return lua_error(L);
}

}  // namespace feltrix
