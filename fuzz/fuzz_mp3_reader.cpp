// Any bytes through the MP3 reader the loader runs, into real channel
// records: either a failure text or two Loaded voices of the same length.
#include <cstdint>
#include <cstdlib>

#include "audio/byte_source.h"
#include "audio/mp3_reader.h"

namespace feltrix {
// The channel records ask the engine for the output rate; the fuzzer has no
// engine.
int outputSampleRate() { return 44100; }
}  // namespace feltrix

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace feltrix;
    MemoryByteSource source(data, size);
    NewVoices voices;
    if (readMp3File(source, voices) != nullptr) {
        return 0;
    }
    if (voices.size() != 2 || voices[0]->sampleCount != voices[1]->sampleCount || voices[0]->sourceRate == 0 ||
        voices[1]->framesAvailable.load() != voices[1]->sampleCount ||
        voices[1]->loadState.load() != LoadState::Loaded) {
        std::abort();
    }
    return 0;
}
