#pragma once
// The reason the last sound-file load failed. The texts are constants that
// live for the whole run; only the pointer is replaced.
namespace feltrix {

// The most channels a sound file may bring; the readers refuse a file that
// declares more (each voice costs a converter and mixing time for the rest of
// the session, and a script needs a stack slot for each new channel number).
constexpr int kMaxFileChannels = 32;

void setLoadError(const char* text);
// "No error" until the first failure (also declared in sound_loading.h).
const char* loadErrorText();

}  // namespace feltrix
