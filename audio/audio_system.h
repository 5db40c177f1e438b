#pragma once
// Start-up hooks of the audio engine.
namespace feltrix {

// Initialises the audio library and opens the output stream on the default
// device, leaving it stopped; 0 on success, the library's error code
// otherwise (after printing a console diagnostic). The channel table works
// either way; without a stream nothing is heard.
int initAudio();
// Starts the output stream; a failure is printed and otherwise ignored.
void startOutputStream();

}  // namespace feltrix
