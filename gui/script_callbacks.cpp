#include "gui/script_callbacks.h"

namespace feltrix {
namespace {

ScriptCallbacks* installedCallbacks = nullptr;

}  // namespace

ScriptCallbacks* scriptCallbacks() { return installedCallbacks; }
void setScriptCallbacks(ScriptCallbacks* callbacks) { installedCallbacks = callbacks; }

}  // namespace feltrix
