#include "gui/menu_commands.h"

#include <cstdio>
#include <cstdlib>

#include "gui/script_callbacks.h"

namespace feltrix {

void runFileMenuCommand(int commandId) {
    ScriptCallbacks* host = scriptCallbacks();
    switch (commandId) {
        case kLoadConfigurationCommand:
            if (host != nullptr) host->invokeLoadConfig();
            break;
        case kSaveConfigurationCommand:
            if (host != nullptr) host->invokeSaveConfig();
            break;
        case kOpenCustomScriptCommand:
            if (host != nullptr) host->invokeOpenCustomScript();
            break;
        case kExitCommand:
            std::fflush(stdout);
            std::exit(0);
        default:
            break;
    }
}

}  // namespace feltrix
