#include "app/audio_functions.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "app/script_host.h"
#include "audio/audio_engine.h"
#include "common/file_open.h"
#include "common/script_args.h"

namespace feltrix {
namespace {

// Pushes the numbers of the channels a load appended, lowest first.
int pushLoadedChannels(lua_State* L, ChannelNumber countBefore, int appended) {
    for (int i = 0; i < appended; ++i) lua_pushnumber(L, static_cast<lua_Number>(countBefore) + i);
    return appended;
}

// Checks the path, runs `load` and returns the new channel numbers; a failed
// load raises `failureFormat` with the engine's reason (and, for Ogg, the
// path before it).
int loadSound(lua_State* L, int (*load)(const char*), const char* argumentFormat, const char* failureFormat,
              bool pathInFailure) {
    const ChannelNumber countBefore = channelCount();
    const char* path = checkStringArgument(L, 1, argumentFormat);
    // Room for every number a load can return, found before anything is
    // appended: a failed load adds no channel.
    if (!lua_checkstack(L, kMaxFileChannels)) raiseFixedError(L, "too many channels to return");
    const int appended = load(path);
    if (appended < 0) {
        if (pathInFailure) {
            lua_pushfstring(L, failureFormat, path, loadErrorText());
        } else {
            lua_pushfstring(L, failureFormat, loadErrorText());
        }
        return lua_error(L);
    }
    return pushLoadedChannels(L, countBefore, appended);
}

// The channel named by argument 1 (form A check with `format`), or nullptr
// after the console warning.
const AudioChannel* getterChannel(lua_State* L, const char* format) {
    const ChannelNumber number = toUint32OrMax(checkNumberArgument(L, 1, format));
    const AudioChannel* channel = channelAt(number);
    if (channel == nullptr) std::printf("warning: no such channel: %u\n", number);
    return channel;
}

}  // namespace

int luaExit(lua_State*) {
    if (ScriptHost* host = activeScriptHost()) host->runExitHandler();
    std::fflush(stdout);
    std::exit(0);
}

int luaFileExists(lua_State* L) {
    const char* path = checkStringArgument(L, 1, "incorrect argument #1 to fileExists: string expected, got %s");
    lua_pushboolean(L, canOpenForReading(path));
    return 1;
}

int luaLoadWav(lua_State* L) {
    return loadSound(L, loadWavChannels, "incorrect argument #1 to loadWav: string expected, got %s",
                     "Error loading WAV file: %s", false);
}

int luaLoadMp3(lua_State* L) {
    return loadSound(L, loadMp3Channels, "incorrect argument #1 to loadMp3: string expected, got %s",
                     "Error loading MP3 file: %s", false);
}

int luaLoadOgg(lua_State* L) {
    return loadSound(L, loadOggChannels, "incorrect argument #1 to loadOgg: string expected, got %s",
                     "Error loading Ogg file %s: %s", true);
}

int luaSlideAudioChannelVolume(lua_State* L) {
    checkNumberArguments(L, 3, "incorrect arguments to slideAudioChannelVolume (expected number, number, number");
    slideChannelVolume(toUint32OrMax(lua_tonumber(L, 1)), toFloat(lua_tonumber(L, 2)),
                       toFloat(lua_tonumber(L, 3)));
    return 0;
}

int luaSlideAudioChannelPanning(lua_State* L) {
    checkNumberArguments(L, 3, "incorrect arguments to slideAudioChannelPanning (expected number, number, number");
    slideChannelPanning(toUint32OrMax(lua_tonumber(L, 1)), toFloat(lua_tonumber(L, 2)),
                        toFloat(lua_tonumber(L, 3)));
    return 0;
}

int luaSetAudioChannelPosition(lua_State* L) {
    const lua_Number channel = checkNumberArgument(
        L, 1, "incorrect argument #1 to setCurrentAudioChannelPosition: number expected, got %s");
    if (!outputPaused()) {
        raiseFixedError(L, "audio must be paused to call setCurrentAudioChannelPosition");
    }
    // Argument 2 is not checked: anything but a number counts as frame 0.
    setChannelPosition(toUint32OrMax(channel), toUint64OrMax(lua_tonumber(L, 2)));
    return 0;
}

int luaSetAudioChannelSpeed(lua_State* L) {
    checkNumberArguments(L, 2, "incorrect arguments to setAudioChannelSpeed (expected number, number");
    setChannelSpeed(toUint32OrMax(lua_tonumber(L, 1)), toFloat(lua_tonumber(L, 2)));
    return 0;
}

int luaSetAudioChannelLoopPoint(lua_State* L) {
    checkNumberArguments(L, 2, "incorrect arguments to setAudioChannelLoopFrame (expected number, number");
    setChannelLoopPoint(toUint32OrMax(lua_tonumber(L, 1)), toUint64OrMax(lua_tonumber(L, 2)));
    return 0;
}

int luaSetUpdateInterval(lua_State* L) {
    const lua_Number seconds =
        checkNumberArgument(L, 1, "incorrect argument #1 to setUpdateInterval: number expected, got %s");
    // Truncated toward zero into 32 bits; values out of range saturate and
    // NaN gives 0 (raised to the floor by the host).
    const int periodMs = toInt32(seconds * 1000.0);
    if (ScriptHost* host = activeScriptHost()) host->changeUpdateInterval(periodMs);
    return 0;
}

int luaGetUpdateInterval(lua_State* L) {
    const ScriptHost* host = activeScriptHost();
    const int ms = host != nullptr ? host->updateInterval() : kDefaultUpdateIntervalMs;
    lua_pushnumber(L, ms / 1000.0);
    return 1;
}

int luaResetAudio(lua_State*) {
    clearChannels();
    return 0;
}

int luaPauseAudio(lua_State*) {
    pauseOutput(true);
    return 0;
}

int luaResumeAudio(lua_State*) {
    pauseOutput(false);
    return 0;
}

int luaGetCurrentAudioChannelVolume(lua_State* L) {
    const AudioChannel* channel =
        getterChannel(L, "incorrect argument #1 to getCurrentAudioChannelVolume: number expected, got %s");
    lua_pushnumber(L, channel != nullptr ? currentVolume(*channel) : 0.0);
    return 1;
}

int luaGetCurrentAudioChannelPanning(lua_State* L) {
    const AudioChannel* channel =
        getterChannel(L, "incorrect argument #1 to getCurrentAudioChannelPanning: number expected, got %s");
    lua_pushnumber(L, channel != nullptr ? currentPanning(*channel) : 0.0);
    return 1;
}

int luaGetCurrentAudioChannelPosition(lua_State* L) {
    const AudioChannel* channel =
        getterChannel(L, "incorrect argument #1 to getCurrentAudioChannelPosition: number expected, got %s");
    lua_pushnumber(L, channel != nullptr ? static_cast<lua_Number>(currentPosition(*channel)) : 0.0);
    return 1;
}

int luaGetAudioChannelSampleCount(lua_State* L) {
    const AudioChannel* channel =
        getterChannel(L, "incorrect argument #1 to getAudioChannelSampleCount: number expected, got %s");
    lua_pushnumber(L, channel != nullptr ? static_cast<lua_Number>(channel->sampleCount) : 0.0);
    return 1;
}

int luaGetChannelCount(lua_State* L) {
    lua_pushnumber(L, channelCount());
    return 1;
}

}  // namespace feltrix
