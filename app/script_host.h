#pragma once
// The script host: the one Lua state, the init script, the update cycle and
// the invokers through which window events reach the script's callbacks.
#include <array>
#include <functional>
#include <memory>
#include <string>

#include "common/lua.h"
#include "gui/script_callbacks.h"

namespace feltrix {

class PassthroughInput;
class UpdateTimer;

constexpr const char* kInitScriptName = "FeltrixInit.lj";
constexpr int kDefaultUpdateIntervalMs = 100;
constexpr int kMinimumUpdateIntervalMs = 10;
constexpr std::size_t kStdinChunkBytes = 4096;

class ScriptHost final : public ScriptCallbacks {
public:
    // Creates the Lua state with the standard libraries, removes the globals
    // that reach files, processes, debugging and modules, and registers every
    // script function.
    explicit ScriptHost(bool passthroughMode);
    ~ScriptHost() override;
    ScriptHost(const ScriptHost&) = delete;
    ScriptHost& operator=(const ScriptHost&) = delete;

    lua_State* state() const { return state_; }
    void setUpdateTimer(UpdateTimer* timer) { timer_ = timer; }

    // Loads and runs the init script (unlocked, protected). Returns the error
    // message on failure, an empty string on success.
    std::string loadAndRunInitScript(const char* fileName = kInitScriptName);
    // The whole start of the script: runs the init script; on failure prints
    // the message, shows the error box and ends the process with code 1.
    // Otherwise starts the updates (startUpdates()).
    void runInitScript();
    // After the init script: starts the output stream, runs one update cycle
    // and starts the update timer.
    void startUpdates();
    void runUpdateCycle();

    // Update interval in milliseconds; changes below the floor are raised to it.
    int updateInterval() const { return updateIntervalMs_; }
    void changeUpdateInterval(int periodMs);

    void invokeOpenCustomScript() override;
    void invokeSaveConfig() override;
    void invokeLoadConfig() override;
    void invokeGuiMessage(int id) override;
    void invokeGuiMessage(int id, bool state) override;
    void invokeGuiMessage(int id, int value) override;
    void invokeGuiMessage(int id, const char* text) override;

    // What happens when a callback raises an error: by default the message and
    // a traceback go to standard output, the error box is shown and the
    // process ends with code 1. Tests may replace it.
    using CallbackErrorHandler = std::function<void(const std::string& messageWithTraceback)>;
    void setCallbackErrorHandler(CallbackErrorHandler handler) { onCallbackError_ = std::move(handler); }

    // Runs when the script calls exit(), before the process ends with code 0
    // (a renderer finishes its file there). None by default.
    void setExitHandler(std::function<void()> handler) { onExit_ = std::move(handler); }
    void runExitHandler() {
        if (onExit_) onExit_();
    }

private:
    void drainStandardInput();
    // Calls the global callback `name` with the nargs values on the stack.
    void callCallback(const char* name, int nargs);
    template <typename PushArguments>
    void invoke(const char* name, PushArguments pushArguments);

    lua_State* state_ = nullptr;
    UpdateTimer* timer_ = nullptr;
    bool timerRunning_ = false;
    int updateIntervalMs_ = kDefaultUpdateIntervalMs;
    std::unique_ptr<PassthroughInput> stdinInput_;
    std::array<char, kStdinChunkBytes> stdinBuffer_{};
    CallbackErrorHandler onCallbackError_;
    std::function<void()> onExit_;
};

// The process's script host, reached by the script functions (which are
// registered without upvalues). Null until start-up has created it. Setting it
// also makes it the receiver of the window side's script callbacks.
ScriptHost* activeScriptHost();
void setActiveScriptHost(ScriptHost* host);

// Prints the message, shows the error box and ends the process with code 1.
[[noreturn]] void reportCallbackErrorAndExit(const std::string& messageWithTraceback);

}  // namespace feltrix
