#include "audio/audio_system.h"

namespace feltrix {

int initAudio() { return 0; }
void startOutputStream() {}

}  // namespace feltrix
