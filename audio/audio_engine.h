#pragma once
// The engine's one channel table and its output stream controls.
#include "audio/channel_table.h"

namespace feltrix {

// Output rate assumed until a device has been opened (and when none can be).
constexpr int kFallbackSampleRate = 44100;

// The table the output stream mixes. It exists from first use on, also when no
// output device could be opened (loads and setters then work, nothing is heard).
ChannelTable& engineChannelTable();

}  // namespace feltrix
