#include "audio/audio_engine.h"

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

void pauseOutput(bool paused) { engineChannelTable().paused.store(paused); }

bool outputPaused() { return engineChannelTable().paused.load(); }

int slideChannelVolume(ChannelNumber channel, float target, float seconds) {
    return slideChannelVolume(engineChannelTable(), channel, target, seconds);
}

int slideChannelPanning(ChannelNumber channel, float target, float seconds) {
    return slideChannelPanning(engineChannelTable(), channel, target, seconds);
}

int setChannelSpeed(ChannelNumber channel, float speed) { return setChannelSpeed(engineChannelTable(), channel, speed); }

int setChannelLoopPoint(ChannelNumber channel, std::uint64_t frame) {
    return setChannelLoopPoint(engineChannelTable(), channel, frame);
}

int setChannelPosition(ChannelNumber channel, std::uint64_t frame) {
    return setChannelPosition(engineChannelTable(), channel, frame);
}

}  // namespace feltrix
