#include "app/script_host.h"

#include <cstdio>
#include <cstdlib>

#include "app/chunk_loading.h"
#include "app/console.h"
#include "app/passthrough_input.h"
#include "app/script_functions.h"
#include "app/update_timer.h"
#include "audio/audio_engine.h"
#include "common/script_lock.h"
#include "gui/modal_ui.h"
#include "hostlink/host_cycle.h"

namespace feltrix {
namespace {

ScriptHost* activeHost = nullptr;

constexpr const char* kRemovedGlobals[] = {"io", "os", "debug", "package", "require", "jit"};

// Message handler for callbacks: the error message followed by a traceback.
int addTraceback(lua_State* L) {
    const char* message = lua_tostring(L, 1);
    if (message == nullptr) {
        message = lua_pushfstring(L, "(error object is a %s value)", luaL_typename(L, 1));
    }
    luaL_traceback(L, L, message, 1);
    return 1;
}

}  // namespace

ScriptHost* activeScriptHost() { return activeHost; }
void setActiveScriptHost(ScriptHost* host) {
    activeHost = host;
    setScriptCallbacks(host);
}

void reportCallbackErrorAndExit(const std::string& messageWithTraceback) {
    std::fputs(messageWithTraceback.c_str(), stdout);
    std::fputs("\nLua error occurred in a callback, aborting.\n", stdout);
    std::fflush(stdout);
    showMessageBox("Error", messageWithTraceback, false);
    std::exit(1);
}

ScriptHost::ScriptHost(bool passthroughMode) : onCallbackError_(reportCallbackErrorAndExit) {
    openConsole();
    state_ = luaL_newstate();
    luaL_openlibs(state_);
    for (const char* name : kRemovedGlobals) {
        lua_pushnil(state_);
        lua_setfield(state_, LUA_GLOBALSINDEX, name);
    }
    installChunkLoaders(state_);
    if (passthroughMode) stdinInput_ = std::make_unique<PassthroughInput>();
    registerScriptFunctions(state_);
}

ScriptHost::~ScriptHost() {
    if (activeHost == this) setActiveScriptHost(nullptr);
    lua_close(state_);
}

std::string ScriptHost::loadAndRunInitScript(const char* fileName) {
    lua_pushboolean(state_, 0);
    lua_setfield(state_, LUA_GLOBALSINDEX, "quenterraConnected");
    const int top = lua_gettop(state_);
    int status = loadSourceFile(state_, fileName);
    if (status == 0) status = lua_pcall(state_, 0, LUA_MULTRET, 0);
    std::string message;
    if (status != 0) {
        size_t length = 0;
        const char* text = lua_tolstring(state_, -1, &length);
        message = text != nullptr ? std::string(text, length) : std::string("(error object is not a string)");
        if (message.empty()) message = "(empty error message)";
    }
    lua_settop(state_, top);
    return message;
}

void ScriptHost::runInitScript() {
    const std::string failure = loadAndRunInitScript();
    if (!failure.empty()) {
        std::fwrite(failure.data(), 1, failure.size(), stdout);
        std::fputs("\nLua error occurred, aborting.\n", stdout);
        std::fflush(stdout);
        showMessageBox("Error", "Feltrix encountered an internal Lua error and will now exit.", false);
        std::exit(1);
    }
    startUpdates();
}

void ScriptHost::startUpdates() {
    startOutputStream();
    runUpdateCycle();
    if (timer_ != nullptr) {
        timer_->arm(updateIntervalMs_);
        timerRunning_ = true;
    }
}

void ScriptHost::runUpdateCycle() {
    // The amplifier values are refreshed and published outside the lock.
    refreshHostVariables(state_);
    ScriptLockGuard locked(scriptLock());
    drainStandardInput();
    callCallback("FeltrixUpdateCallback", 0);
}

void ScriptHost::drainStandardInput() {
    if (!stdinInput_ || !stdinInput_->usable()) return;
    // One read of up to 4096 bytes is one callback; everything waiting is drained.
    while (stdinInput_->readAvailable(stdinBuffer_.data(), stdinBuffer_.size()) > 0) {
        callCallback("FeltrixReceiveDemoMessageCallback", 0);
    }
}

void ScriptHost::changeUpdateInterval(int periodMs) {
    if (periodMs == updateIntervalMs_) return;
    if (periodMs < kMinimumUpdateIntervalMs) periodMs = kMinimumUpdateIntervalMs;
    updateIntervalMs_ = periodMs;
    // Before the init script has finished the timer is not running yet; it is
    // started with the stored period then.
    if (timerRunning_ && timer_ != nullptr) timer_->arm(periodMs);
}

void ScriptHost::callCallback(const char* name, int nargs) {
    // Stack: args... -> handler, function, args...
    const int base = lua_gettop(state_) - nargs;
    lua_pushcfunction(state_, addTraceback);
    lua_insert(state_, base + 1);
    lua_getfield(state_, LUA_GLOBALSINDEX, name);
    lua_insert(state_, base + 2);
    const int status = lua_pcall(state_, nargs, 0, base + 1);
    if (status != 0) {
        size_t length = 0;
        const char* text = lua_tolstring(state_, -1, &length);
        std::string message = text != nullptr ? std::string(text, length) : std::string("error in ") + name;
        lua_settop(state_, base);
        onCallbackError_(message);
        return;
    }
    lua_settop(state_, base);
}

template <typename PushArguments>
void ScriptHost::invoke(const char* name, PushArguments pushArguments) {
    ScriptLockGuard locked(scriptLock());
    const int nargs = pushArguments(state_);
    callCallback(name, nargs);
}

void ScriptHost::invokeOpenCustomScript() {
    invoke("FeltrixOpenCustomScript", [](lua_State*) { return 0; });
}

void ScriptHost::invokeSaveConfig() {
    invoke("FeltrixSaveConfig", [](lua_State*) { return 0; });
}

void ScriptHost::invokeLoadConfig() {
    invoke("FeltrixLoadConfig", [](lua_State*) { return 0; });
}

void ScriptHost::invokeGuiMessage(int id) {
    invoke("FeltrixGuiMessageCallback", [id](lua_State* L) {
        lua_pushnumber(L, id);
        return 1;
    });
}

void ScriptHost::invokeGuiMessage(int id, bool state) {
    invoke("FeltrixGuiMessageCallback", [id, state](lua_State* L) {
        lua_pushnumber(L, id);
        lua_pushboolean(L, state ? 1 : 0);
        return 2;
    });
}

void ScriptHost::invokeGuiMessage(int id, int value) {
    invoke("FeltrixGuiMessageCallback", [id, value](lua_State* L) {
        lua_pushnumber(L, id);
        lua_pushnumber(L, value);
        return 2;
    });
}

void ScriptHost::invokeGuiMessage(int id, const char* text) {
    invoke("FeltrixGuiMessageCallback", [id, text](lua_State* L) {
        lua_pushnumber(L, id);
        lua_pushstring(L, text);
        return 2;
    });
}

}  // namespace feltrix
