#include "audio/audio_engine.h"

#include <cstdio>

#include "audio/audio_system.h"
#include "audio/output_stream.h"

namespace feltrix {

ChannelTable& engineChannelTable() {
    // Never destroyed: the output stream may still mix it while the process ends.
    static ChannelTable* table = new ChannelTable(kFallbackSampleRate);
    return *table;
}

int outputSampleRate() { return engineChannelTable().sampleRate(); }

void appendChannel(AudioChannel* channel) {
    if (!engineChannelTable().append(channel)) {
        std::printf("error: out of memory appending an audio channel\n");
        // An Ogg decoder may already fill it: let the lock protocol decide.
        releaseFromTable(channel);
    }
}

ChannelNumber channelCount() { return engineChannelTable().count(); }

AudioChannel* channelAt(ChannelNumber number) { return engineChannelTable().at(number); }

void clearChannels() {
    // No block may run while the channels are freed; the table also waits
    // for a block in progress should the stream not stop. A stream that was
    // not started yet (clearing from the init script) stays stopped.
    const bool wasRunning = stopOutputStream();
    for (AudioChannel* channel : engineChannelTable().detachAll()) releaseFromTable(channel);
    if (wasRunning) startOutputStream();
}

}  // namespace feltrix
