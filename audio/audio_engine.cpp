#include "audio/audio_engine.h"

#include <cstdio>

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

}  // namespace

std::string initAudio() {
    engineChannelTable();  // exists whatever becomes of the device
    std::string failure = engineOutput().open(std::chrono::seconds(10)).message;
    while (!failure.empty() && failure.back() == '\n') failure.pop_back();
    return failure;
}

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
