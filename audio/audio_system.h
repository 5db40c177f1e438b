#pragma once
// Start-up hooks of the audio engine.
namespace feltrix {

// Initialises the audio library and the channel table; 0 on success, the
// library's error code otherwise (after printing a console diagnostic).
int initAudio();
// Starts the output stream; failures are ignored.
void startOutputStream();

}  // namespace feltrix
