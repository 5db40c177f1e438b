#pragma once
// The output stream seen from the engine: opened by initAudio(), started by
// startOutputStream() (audio/audio_system.h), stopped only around clearing.
namespace feltrix {

// Stops the stream at once; when it returns no mixer block is running.
// Returns whether it was running (false without a stream).
bool stopOutputStream();

}  // namespace feltrix
