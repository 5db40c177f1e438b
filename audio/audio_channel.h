#pragma once
// One mono voice of the audio engine.
//
// Threads that touch a channel:
// - the main thread creates it, fills it, appends it to the table and later
//   sets its controls (slides, speed, loop point, position);
// - the audio thread (mixer) reads the samples and the controls and owns the
//   converter, the converter buffers, the current volume/panning and the
//   current position;
// - an Ogg decoder thread appends decoded frames to a channel that is already
//   playing, and frees it when the table dropped it meanwhile (Orphaned).
//
// Fields the main thread writes while the mixer may run are atomics; fields
// set before the channel is appended (samples, sampleCount, sourceRate) are
// plain: appending it to the table publishes them to the mixer with release
// order.
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>

#include "audio/atomic_slide.h"
#include "common/types.h"

struct SRC_STATE_tag;  // libsamplerate converter

namespace feltrix {

enum class LoadState : int {
    New = 0,       // created, not yet filled
    Loading = 1,   // an Ogg decoder thread still appends frames
    Loaded = 2,    // all frames present
    Orphaned = 3,  // dropped from the table while Loading; its decoder frees it
};

// Frames of the converter's input and output blocks.
constexpr std::uint32_t kConverterInputFrames = 16384;
constexpr std::uint32_t kConverterOutputFrames = 8192;

// "No position request pending" for AudioChannel::positionRequest.
constexpr std::uint64_t kNoPositionRequest = ~std::uint64_t{0};

struct AudioChannel {
    // Set by the reader before the channel is appended; fixed afterwards.
    std::unique_ptr<float[]> samples;  // sampleCount frames, full scale -1..+1
    std::uint64_t sampleCount = 0;
    std::uint32_t sourceRate = 0;  // Hz; newAudioChannel() sets the output rate

    // Frames of `samples` already filled; frames at or beyond it play as
    // silence. Writers store with release order after copying the frames.
    std::atomic<std::uint64_t> framesAvailable{0};

    // Current gain and panning (0 = left only, 1 = right only). Written by the
    // mixer while it plays; a reader may set the initial panning before the
    // channel is appended (use setInitialPanning()).
    std::atomic<float> volume{0.0f};
    std::atomic<float> panning{0.5f};
    // Running slides, published as (target, step) pairs; step 0 = none. The
    // main thread publishes a slide; the mixer sets its step to 0 when it ends.
    AtomicSlide volumeSlide{Slide{0.0f, 0.0f}};
    AtomicSlide panningSlide{Slide{0.5f, 0.0f}};

    std::atomic<float> speed{1.0f};               // 0.125..8
    std::atomic<std::uint64_t> loopStart{0};      // frame that follows the last one
    std::atomic<std::uint64_t> position{0};       // next frame for the converter (mixer writes)
    std::atomic<std::uint64_t> positionRequest{kNoPositionRequest};  // main thread asks for a jump

    // Owned by the mixer (audio thread) once the channel is in the table.
    std::unique_ptr<float[]> converterInput;   // kConverterInputFrames
    std::unique_ptr<float[]> converterOutput;  // kConverterOutputFrames
    std::uint32_t outputRead = 0;
    std::uint32_t outputFill = 0;
    SRC_STATE_tag* converter = nullptr;
    int converterError = 0;
    // What is heard: the next output frame plays frame playFrame plus
    // playFraction of the samples, after playDelay more frames of what the
    // converter took in before a jump. `position` runs ahead of it by the
    // converterHeld frames that the converter has taken in but not played.
    std::uint64_t playFrame = 0;
    double playFraction = 0.0;
    double playDelay = 0.0;
    double converterHeld = 0.0;
    double converterRatio = 0.0;  // of the last conversion; 0 = fresh converter
    bool converterIdle = false;   // sat out silent blocks: reset before converting again

    // Orders clearChannels() and an Ogg decoder thread working on this
    // channel. Never taken by the mixer. Release it before freeing the
    // channel (the mutex lives inside the record).
    std::mutex lock;
    std::atomic<LoadState> loadState{LoadState::New};

    AudioChannel() = default;
    AudioChannel(const AudioChannel&) = delete;
    AudioChannel& operator=(const AudioChannel&) = delete;
    ~AudioChannel();
};

// Creates a channel with its converter buffers and converter; sourceRate is
// the output rate, volume 0, panning 0.5, speed 1, loadState New. Returns
// nullptr when memory or the converter cannot be had.
AudioChannel* newAudioChannel();
// Frees the samples, both buffers, the converter and the record. The caller
// must not hold channel->lock. Accepts nullptr.
void freeAudioChannel(AudioChannel* channel);

// Allocates (uninitialised) samples for `frames` frames and sets sampleCount;
// false when the memory cannot be had (the channel is unchanged then).
bool allocateChannelSamples(AudioChannel* channel, std::uint64_t frames);
// Sets panning before the channel is appended (no slide running).
void setInitialPanning(AudioChannel* channel, float panning);

// Decoder-thread side of the lock protocol (Ogg background decoding).
// Copies `count` frames to samples[framesAvailable...] (never beyond
// sampleCount) and then raises framesAvailable with release order, all under
// the channel's lock. If the channel was orphaned by clearChannels(), frees it
// instead and returns false: the caller must not touch it again.
bool appendDecodedFrames(AudioChannel* channel, const float* frames, std::uint64_t count);
// Ends decoding for one channel (end of stream, or a decoding error after the
// channel was appended): marks it Loaded under its lock, or frees it if it
// was orphaned (returns false then; do not touch it again).
bool finishDecoding(AudioChannel* channel);
// Table side of the same protocol (clearChannels): frees the channel, or, if
// a decoder thread still fills it, marks it Orphaned for that thread to free.
void releaseFromTable(AudioChannel* channel);

}  // namespace feltrix
