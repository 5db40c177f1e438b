#pragma once
// The script functions of the audio engine, `exit`, `fileExists` and the
// update interval. Registered by registerScriptFunctions (script_functions.h).
#include "common/lua.h"

namespace feltrix {

int luaExit(lua_State* L);
int luaFileExists(lua_State* L);
int luaLoadWav(lua_State* L);
int luaLoadMp3(lua_State* L);
int luaLoadOgg(lua_State* L);
int luaSlideAudioChannelVolume(lua_State* L);
int luaSlideAudioChannelPanning(lua_State* L);
int luaSetAudioChannelPosition(lua_State* L);
int luaSetAudioChannelSpeed(lua_State* L);
int luaSetAudioChannelLoopPoint(lua_State* L);
int luaSetUpdateInterval(lua_State* L);
int luaGetUpdateInterval(lua_State* L);
int luaResetAudio(lua_State* L);
int luaPauseAudio(lua_State* L);
int luaResumeAudio(lua_State* L);
int luaGetCurrentAudioChannelVolume(lua_State* L);
int luaGetCurrentAudioChannelPanning(lua_State* L);
int luaGetCurrentAudioChannelPosition(lua_State* L);
int luaGetAudioChannelSampleCount(lua_State* L);
int luaGetChannelCount(lua_State* L);

}  // namespace feltrix
