#pragma once
// What the main thread does to a playing channel: slides, speed, loop point,
// position, and reading its state back. Each setter refuses a channel number
// that does not exist with a console line and -1; otherwise it returns 0.
#include <cstdint>

#include "audio/channel_table.h"

namespace feltrix {

// Linear slide from the current value to `target` (clamped to 0..1) over
// `seconds` (at least 0.01); replaces a running slide.
int slideChannelVolume(ChannelTable& table, ChannelNumber channel, float target, float seconds);
int slideChannelPanning(ChannelTable& table, ChannelNumber channel, float target, float seconds);
// Speed factor, clamped to 0.125..8; used from the channel's next refill on.
int setChannelSpeed(ChannelTable& table, ChannelNumber channel, float speed);
// Frame at which playback goes on after the last frame; ignored unless below
// the channel's length.
int setChannelLoopPoint(ChannelTable& table, ChannelNumber channel, std::uint64_t frame);
// Next frame to play; ignored unless below the channel's length. Meant for a
// paused output: the mixer takes it up at its next refill.
int setChannelPosition(ChannelTable& table, ChannelNumber channel, std::uint64_t frame);

// Current values, read without a lock while the output plays.
float currentVolume(const AudioChannel& channel);
float currentPanning(const AudioChannel& channel);
// The next frame the converter takes (a requested jump counts as done).
std::uint64_t currentPosition(const AudioChannel& channel);

}  // namespace feltrix
