#pragma once
// Start-up hooks of the audio engine.
#include <string>

namespace feltrix {

// Initialises the audio library and opens the output stream on the default
// device, leaving it stopped. Returns an empty text on success, otherwise
// what failed: the console diagnostic it printed, without its line break
// ("Error initializing PortAudio: ...", "Error opening default PortAudio
// stream: Device unavailable", a device that did not answer in time). The channel table works
// either way; without a device nothing is heard until one appears (the
// output supervisor keeps looking for it in the background).
std::string initAudio();
// Asks for the output stream to play; returns at once, whatever the device.
void startOutputStream();

}  // namespace feltrix
