#pragma once
// Loading sound files into the channel table.
namespace feltrix {

// Each appends one channel per channel of the file (an MP3 always two) and
// returns how many it appended, or -1 on failure with loadErrorText() set;
// the table is unchanged on failure.
int loadWavChannels(const char* path);
int loadMp3Channels(const char* path);
int loadOggChannels(const char* path);

// Why the last load failed ("No error" until the first failure).
const char* loadErrorText();

}  // namespace feltrix
