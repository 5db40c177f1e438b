// Any bytes through the Ogg reader and the decoding loop the loader runs
// (first part, then the rest), into real channel records.
#include <cstdint>
#include <cstdlib>
#include <memory>

#include "audio/audio_channel.h"
#include "audio/byte_source.h"
#include "audio/ogg_decoder_thread.h"
#include "audio/ogg_reader.h"

namespace feltrix {
// The channel records ask the engine for the output rate; the fuzzer has no
// engine.
int outputSampleRate() { return 44100; }
}  // namespace feltrix

namespace {
// A stream may declare any length; sounds larger than this are skipped so the
// fuzzer measures the decoder rather than the allocator.
constexpr std::uint64_t maxSamples = 1u << 22;
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace feltrix;
    oggDecodeSlots().acquire();
    auto job = std::make_unique<OggDecodeJob>();
    job->stream = std::make_unique<OggStream>();
    if (job->stream->open(std::make_unique<MemoryByteSource>(data, size)) != nullptr) {
        job->endDecoding();
        return 0;
    }
    const int channels = job->stream->channels();
    const std::uint64_t frames = job->stream->totalFrames();
    if (channels <= 0 || frames > maxSamples / static_cast<std::uint64_t>(channels)) {
        job->endDecoding();
        return 0;
    }
    for (int i = 0; i < channels; ++i) {
        AudioChannel* voice = newAudioChannel();
        if (voice == nullptr || !allocateChannelSamples(voice, frames)) std::abort();
        voice->loadState.store(LoadState::Loading);
        job->voices.push_back(voice);
    }
    long r = decodeOggFrames(*job, kOggFramesBeforeReturn);
    if (r > 0 && decodeOggFrames(*job, 0) < 0) {
        settleVoicesAfterError(*job);
    }
    if (oggDecodeSlots().available() != kOggDecodeSlots) std::abort();  // slot given back exactly once
    for (AudioChannel* voice : job->voices) {
        if (voice->framesAvailable.load() > voice->sampleCount) std::abort();
        freeAudioChannel(voice);
    }
    return 0;
}
