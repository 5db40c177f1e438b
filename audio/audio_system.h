#pragma once
// Start-up hooks of the audio engine.
namespace feltrix {

// Initialises the audio library and opens the output stream on the default
// device, leaving it stopped; 0 on success, the library's error code
// otherwise (after printing a console diagnostic). The channel table works
// either way; without a device nothing is heard until one appears (the
// output supervisor keeps looking for it in the background).
int initAudio();
// Asks for the output stream to play; returns at once, whatever the device.
void startOutputStream();

}  // namespace feltrix
