#include "audio/sound_loading.h"

namespace feltrix {

int loadWavChannels(const char*) { return -1; }
int loadMp3Channels(const char*) { return -1; }
int loadOggChannels(const char*) { return -1; }
const char* loadErrorText() { return "No error"; }

}  // namespace feltrix
