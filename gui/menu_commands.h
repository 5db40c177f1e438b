#pragma once
// The File menu's commands, the same in every window system: their ids (script-
// created controls use ids from 1024, well below) and what each one does.
namespace feltrix {

enum MenuCommand : int {
    kOpenCustomScriptCommand = 50001,
    kExitCommand = 50002,
    kSaveConfigurationCommand = 50003,
    kLoadConfigurationCommand = 50004,
};

// Runs the command: the script's menu callbacks, or for Exit the end of the
// process with exit code 0 at once. Unknown ids do nothing.
void runFileMenuCommand(int commandId);

}  // namespace feltrix
