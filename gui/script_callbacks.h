#pragma once
// The script's callbacks as the window side sees them: menu commands and
// control notifications are handed to whoever runs the script (the script
// host), which takes the script lock for each call.
namespace feltrix {

class ScriptCallbacks {
public:
    virtual ~ScriptCallbacks() = default;
    virtual void invokeOpenCustomScript() = 0;
    virtual void invokeSaveConfig() = 0;
    virtual void invokeLoadConfig() = 0;
    // (id) for a push button, (id, state) for a check box, (id, position) for
    // a slider, (id, text) for a drop-down list selection.
    virtual void invokeGuiMessage(int id) = 0;
    virtual void invokeGuiMessage(int id, bool state) = 0;
    virtual void invokeGuiMessage(int id, int value) = 0;
    virtual void invokeGuiMessage(int id, const char* text) = 0;
};

// The process's receiver of script callbacks; null while there is none (events
// are then dropped).
ScriptCallbacks* scriptCallbacks();
void setScriptCallbacks(ScriptCallbacks* callbacks);

}  // namespace feltrix
