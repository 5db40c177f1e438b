#include "app/config_functions.h"

#include <cstdio>
#include <string>

#include "app/chunk_loading.h"
#include "app/config_file.h"
#include "common/script_args.h"
#include "gui/modal_ui.h"

namespace feltrix {

int luaLoadConfig(lua_State* L) {
    const char* path = checkStringArgument(L, 1, "incorrect argument #1 to luaLoadConfig: string expected, got %s");
    switch (checkConfigHeader(path)) {
        case ConfigHeaderCheck::Unreadable:
            // Bare, as every other error here: no position in front of it.
            lua_pushfstring(L, "could not load file %s", path);
            return lua_error(L);
        case ConfigHeaderCheck::Invalid:
            raiseFixedError(L, "invalid config file");
        case ConfigHeaderCheck::Valid:
            break;
    }
    switch (loadSourceFile(L, path)) {
        case 0:
            break;
        case LUA_ERRSYNTAX:
            lua_pushfstring(L, "syntax error in config file %s", path);
            return lua_error(L);
        case LUA_ERRMEM:
            lua_pushfstring(L, "not enough memory for config file %s", path);
            return lua_error(L);
        case LUA_ERRFILE:
            lua_pushfstring(L, "could not load file %s", path);
            return lua_error(L);
        default:
            lua_pushfstring(L, "unknown error loading config file %s", path);
            return lua_error(L);
    }
    // The chunk's own error value is passed on unchanged.
    if (lua_pcall(L, 0, 1, 0) != 0) return lua_error(L);
    return 1;
}

int luaSaveConfig(lua_State* L) {
    size_t length = 0;
    const char* data =
        checkStringArgument(L, 1, "incorrect argument #1 to luaSaveConfig: string expected, got %s", &length);
    bool written = false;
    bool failed = false;
    {
        FileDialogRequest request;
        request.save = true;
        request.filters = {{"Feltrix Configuration File (*.fxc)", "*.FXC"}};
        request.defaultExtension = "fxc";
        request.confirmOverwrite = true;
        // The dialog gives the script lock back while it is open and has taken
        // it again when it returns.
        const std::optional<std::string> chosen = showFileDialog(request);
        if (chosen) {
            std::string reason;
            written = replaceFileContent(*chosen, data, length, &reason);
            if (!written) {
                std::printf("Error saving configuration file %s: %s\n", chosen->c_str(), reason.c_str());
                lua_pushfstring(L, "could not write to file %s", chosen->c_str());
                failed = true;
            }
        }
    }
    // Raised only once the C++ objects above are gone.
    if (failed) return lua_error(L);
    lua_pushboolean(L, written ? 1 : 0);
    return 1;
}

}  // namespace feltrix
