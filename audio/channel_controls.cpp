#include "audio/channel_controls.h"

#include <cstdio>

namespace feltrix {
namespace {

// The channel with this number, or nullptr after printing the refusal line
// (`action` completes "error: attempt to ").
AudioChannel* channelOrRefuse(ChannelTable& table, ChannelNumber number, const char* action) {
    AudioChannel* channel = table.at(number);
    if (channel == nullptr) {
        std::printf("error: attempt to %s channel %u, only %u channels exist\n", action, number, table.count());
    }
    return channel;
}

// Clamps to lo..hi; NaN becomes lo.
float clampOrLow(float value, float lo, float hi) {
    if (!(value >= lo)) return lo;
    return value > hi ? hi : value;
}

// Publishes a slide of `current` toward `target` over `seconds`.
void startSlide(AtomicSlide& slide, float current, float target, float seconds, int sampleRate) {
    target = clampOrLow(target, 0.0f, 1.0f);
    if (!(seconds >= 0.01f)) seconds = 0.01f;
    const float step = (target - current) / seconds / static_cast<float>(sampleRate);
    // Target and step travel together: the mixer never sees one without the other.
    slide.store(Slide{target, step});
}

}  // namespace

int slideChannelVolume(ChannelTable& table, ChannelNumber number, float target, float seconds) {
    AudioChannel* channel = channelOrRefuse(table, number, "slide");
    if (channel == nullptr) return -1;
    startSlide(channel->volumeSlide, currentVolume(*channel), target, seconds, table.sampleRate());
    return 0;
}

int slideChannelPanning(ChannelTable& table, ChannelNumber number, float target, float seconds) {
    AudioChannel* channel = channelOrRefuse(table, number, "slide");
    if (channel == nullptr) return -1;
    startSlide(channel->panningSlide, currentPanning(*channel), target, seconds, table.sampleRate());
    return 0;
}

int setChannelSpeed(ChannelTable& table, ChannelNumber number, float speed) {
    AudioChannel* channel = channelOrRefuse(table, number, "set speed of");
    if (channel == nullptr) return -1;
    channel->speed.store(clampOrLow(speed, 0.125f, 8.0f), std::memory_order_relaxed);
    return 0;
}

int setChannelLoopPoint(ChannelTable& table, ChannelNumber number, std::uint64_t frame) {
    AudioChannel* channel = channelOrRefuse(table, number, "set loop point of");
    if (channel == nullptr) return -1;
    if (frame < channel->sampleCount) channel->loopStart.store(frame, std::memory_order_relaxed);
    return 0;
}

int setChannelPosition(ChannelTable& table, ChannelNumber number, std::uint64_t frame) {
    AudioChannel* channel = channelOrRefuse(table, number, "set position of");
    if (channel == nullptr) return -1;
    // The mixer owns the position; it takes the request up at its next refill.
    if (frame < channel->sampleCount) channel->positionRequest.store(frame, std::memory_order_release);
    return 0;
}

float currentVolume(const AudioChannel& channel) { return channel.volume.load(std::memory_order_relaxed); }

float currentPanning(const AudioChannel& channel) { return channel.panning.load(std::memory_order_relaxed); }

std::uint64_t currentPosition(const AudioChannel& channel) {
    const std::uint64_t requested = channel.positionRequest.load(std::memory_order_relaxed);
    return requested != kNoPositionRequest ? requested : channel.position.load(std::memory_order_relaxed);
}

}  // namespace feltrix
