#pragma once
// The audio engine as the rest of the program sees it: starting the output,
// the one channel table it plays, loading sound files into that table and the
// controls of its channels. The script bindings call only what this header
// gives (the loaders and the read-back of a channel's state are declared in
// the headers it includes).
#include <cstdint>
#include <string>
#include <vector>

#include "audio/channel_controls.h"
#include "audio/channel_table.h"
#include "audio/load_error.h"
#include "audio/sound_loading.h"

namespace feltrix {

// Output rate assumed until a device has been opened (and when none can be).
constexpr int kFallbackSampleRate = 44100;

// Start-up.
// Initialises the audio library and opens the output stream on the default
// device, leaving it stopped. Returns an empty text on success, otherwise
// what failed: the console diagnostic it printed, without its line break
// ("Error initializing PortAudio: ...", "Error opening default PortAudio
// stream: Device unavailable", a device that did not answer in time). The
// channel table works either way; without a device nothing is heard until one
// appears (the output supervisor keeps looking for it in the background).
std::string initAudio();
// Asks for the output stream to play; returns at once, whatever the device.
void startOutputStream();

// The table the output stream mixes. It exists from first use on, also when no
// output device could be opened (loads and setters then work, nothing is heard).
// The mixer's drivers (the renderer, tests) take it; everything else goes
// through the functions below. Main thread only, as they are.
ChannelTable& engineChannelTable();
// The output sample rate in Hz (a default when no device could be opened).
int outputSampleRate();
// Appends a file's voices in one step, in their order; false (nothing
// appended, the voices still the caller's) when memory runs out.
bool appendChannels(const std::vector<AudioChannel*>& channels);
// Channels in use; numbers are 0 .. channelCount() - 1.
ChannelNumber channelCount();
// The channel with this number, or nullptr when it does not exist.
AudioChannel* channelAt(ChannelNumber number);
// Frees every channel (orphaning those an Ogg decoder still fills) once no
// mixer block can read it any more, and empties the table.
void clearChannels();
// While paused the output plays silence and no channel advances.
void pauseOutput(bool paused);
bool outputPaused();

// The controls of channel_controls.h on the engine's table.
int slideChannelVolume(ChannelNumber channel, float target, float seconds);
int slideChannelPanning(ChannelNumber channel, float target, float seconds);
int setChannelSpeed(ChannelNumber channel, float speed);
int setChannelLoopPoint(ChannelNumber channel, std::uint64_t frame);
int setChannelPosition(ChannelNumber channel, std::uint64_t frame);

}  // namespace feltrix
