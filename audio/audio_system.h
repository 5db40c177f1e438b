#pragma once
// Start-up hooks of the audio engine.
#include <cstdint>

namespace feltrix {

// Initialises the audio library and opens the output stream on the default
// device, leaving it stopped; 0 on success, the library's error code
// otherwise (after printing a console diagnostic). The channel table works
// either way; without a device nothing is heard until one appears (the
// output supervisor keeps looking for it in the background).
int initAudio();
// Asks for the output stream to play; returns at once, whatever the device.
void startOutputStream();
// Times the output device ran out of sound (underruns) since the start. When
// the program ends after any, it says how many on the console.
std::uint64_t outputUnderruns();

}  // namespace feltrix
