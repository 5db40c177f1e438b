#pragma once
// The reason the last sound-file load failed. The texts are constants that
// live for the whole run; only the pointer is replaced.
namespace feltrix {

void setLoadError(const char* text);
// "No error" until the first failure (also declared in sound_loading.h).
const char* loadErrorText();

}  // namespace feltrix
