#include "audio/audio_engine.h"

#include <cstdio>
#include <cstdlib>

#include "audio/audio_system.h"
#include "audio/output_supervisor.h"

namespace feltrix {

ChannelTable& engineChannelTable() {
    // Never destroyed: the output stream may still mix it while the process ends.
    static ChannelTable* table = new ChannelTable(kFallbackSampleRate);
    return *table;
}

namespace {

OutputSupervisor& engineOutput() {
    // Never destroyed: its thread owns the device until the process ends.
    static OutputSupervisor* output = new OutputSupervisor(makeDefaultOutputDevice(), engineChannelTable());
    return *output;
}

// At the end of the program: a session with dropouts says so.
void reportUnderruns() {
    const std::uint64_t underruns = outputUnderruns();
    if (underruns == 0) return;
    std::printf("Sound output: the device ran out of sound %llu times in this session (underruns).\n",
                static_cast<unsigned long long>(underruns));
    std::fflush(stdout);
}

}  // namespace

int initAudio() {
    engineChannelTable();  // exists whatever becomes of the device
    std::atexit(reportUnderruns);
    return engineOutput().open(std::chrono::seconds(10));
}

std::uint64_t outputUnderruns() { return engineOutput().underruns(); }

void startOutputStream() { engineOutput().start(); }

int outputSampleRate() { return engineChannelTable().sampleRate(); }

void appendChannel(AudioChannel* channel) {
    if (!engineChannelTable().append(channel)) {
        std::printf("error: out of memory appending an audio channel\n");
        // An Ogg decoder may already fill it: let the lock protocol decide.
        releaseFromTable(channel);
    }
}

bool appendChannels(const std::vector<AudioChannel*>& channels) {
    return engineChannelTable().append(channels.data(), static_cast<std::uint32_t>(channels.size()));
}

ChannelNumber channelCount() { return engineChannelTable().count(); }

AudioChannel* channelAt(ChannelNumber number) { return engineChannelTable().at(number); }

void clearChannels() {
    // The stream keeps running (stopping and starting it can hang on a
    // device that has gone): the table hands the channels back only once no
    // mixer block can still read them.
    for (AudioChannel* channel : engineChannelTable().detachAll()) releaseFromTable(channel);
}

}  // namespace feltrix
