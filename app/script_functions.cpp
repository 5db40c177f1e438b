#include "app/script_functions.h"

#include "app/audio_functions.h"
#include "app/config_functions.h"
#include "app/osc_functions.h"
#include "gui/gui_functions.h"
#include "hostlink/try_load_quenterra.h"

namespace feltrix {
namespace {

struct ScriptFunction {
    const char* name;
    lua_CFunction function;
};

// In this order: `exit` and the audio functions, then the GUI functions with
// the configuration files, then OSC output. Scripts see them all as plain globals.
const ScriptFunction kScriptFunctions[] = {
    {"exit", luaExit},
    {"fileExists", luaFileExists},
    {"loadWav", luaLoadWav},
    {"loadMp3", luaLoadMp3},
    {"loadOgg", luaLoadOgg},
    {"slideAudioChannelVolume", luaSlideAudioChannelVolume},
    {"slideAudioChannelPanning", luaSlideAudioChannelPanning},
    {"setAudioChannelPosition", luaSetAudioChannelPosition},
    {"setAudioChannelSpeed", luaSetAudioChannelSpeed},
    {"setAudioChannelLoopPoint", luaSetAudioChannelLoopPoint},
    {"setUpdateInterval", luaSetUpdateInterval},
    {"getUpdateInterval", luaGetUpdateInterval},
    {"resetAudio", luaResetAudio},
    {"pauseAudio", luaPauseAudio},
    {"resumeAudio", luaResumeAudio},
    {"getCurrentAudioChannelVolume", luaGetCurrentAudioChannelVolume},
    {"getCurrentAudioChannelPanning", luaGetCurrentAudioChannelPanning},
    {"getCurrentAudioChannelPosition", luaGetCurrentAudioChannelPosition},
    {"getAudioChannelSampleCount", luaGetAudioChannelSampleCount},
    {"tryLoadQuenterra", luaTryLoadQuenterra},
    {"getChannelCount", luaGetChannelCount},
    {"addCheckboxInternal", luaAddCheckbox},
    {"checkCheckboxInternal", luaCheckCheckbox},
    {"addSliderInternal", luaAddSlider},
    {"addDropdownListInternal", luaAddDropdownList},
    {"addDropdownListItemInternal", luaAddDropdownListItem},
    {"getDropdownListCountInternal", luaGetDropdownListCount},
    {"getDropdownListItemInternal", luaGetDropdownListItem},
    {"getDropdownListSelectionInternal", luaGetDropdownListSelection},
    {"removeDropdownListItemInternal", luaRemoveDropdownListItem},
    {"selectDropdownListItemInternal", luaSelectDropdownListItem},
    {"addPushButtonInternal", luaAddPushButton},
    {"addLabelInternal", luaAddLabel},
    {"addRectangleInternal", luaAddRectangle},
    {"setLabelTextInternal", luaSetLabelText},
    {"setTooltipInternal", luaSetTooltip},
    {"openFileDialog", luaOpenFileDialog},
    {"openFileDialogScript", luaOpenFileDialogScript},
    {"openFileDialogConfig", luaOpenFileDialogConfig},
    {"removeGuiItemInternal", luaRemoveGuiItem},
    {"setGuiItemPositionInternal", luaSetItemPosition},
    {"resetGuiInternal", luaResetGui},
    {"setItemSizeInternal", luaSetItemSize},
    {"setItemEnabledInternal", luaSetItemEnabled},
    {"setItemColorInternal", luaSetItemColor},
    {"setItemHiddenInternal", luaSetItemHidden},
    {"setSliderPositionInternal", luaSetSliderPosition},
    {"loadConfig", luaLoadConfig},
    {"saveConfig", luaSaveConfig},
    {"messageBox", luaMessageBox},
    {"oscSend", luaOscSend},
    {"oscSendTyped", luaOscSendTyped},
    {"oscSendBundle", luaOscSendBundle},
};

}  // namespace

void registerScriptFunctions(lua_State* L) {
    for (const ScriptFunction& entry : kScriptFunctions) {
        lua_pushcclosure(L, entry.function, 0);
        lua_setfield(L, LUA_GLOBALSINDEX, entry.name);
    }
}

}  // namespace feltrix
