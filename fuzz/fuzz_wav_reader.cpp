// Any bytes through the WAV reader the loader runs, into real channel
// records: either a failure text or Loaded voices of one length whose samples
// are all within -1..+1.
#include <cstdint>
#include <cstdlib>

#include "audio/byte_source.h"
#include "audio/wav_reader.h"

namespace feltrix {
// The channel records ask the engine for the output rate; the fuzzer has no
// engine.
int outputSampleRate() { return 44100; }
}  // namespace feltrix

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace feltrix;
    MemoryByteSource source(data, size);
    NewVoices voices;
    if (readWavFile(source, voices) != nullptr) {
        return 0;
    }
    for (const AudioChannel* voice : voices.voices()) {
        if (voice->sampleCount != voices[0]->sampleCount || voice->framesAvailable.load() != voice->sampleCount ||
            voice->loadState.load() != LoadState::Loaded) {
            std::abort();
        }
        for (std::uint64_t i = 0; i < voice->sampleCount; ++i) {
            if (!(voice->samples[i] >= -1.0f && voice->samples[i] <= 1.0f)) {
                std::abort();  // every sample form converts into -1..+1
            }
        }
    }
    return 0;
}
