// Any bytes through the WAV reader: either a failure text or voices whose
// length matches the frames it reports.
#include <cstdint>
#include <cstdlib>

#include "audio/byte_source.h"
#include "audio/wav_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    feltrix::MemoryByteSource source(data, size);
    feltrix::DecodedWav wav;
    if (feltrix::decodeWav(source, wav) != nullptr) {
        return 0;
    }
    if (wav.voices.size() != static_cast<std::size_t>(wav.format.channels)) {
        std::abort();
    }
    for (const auto& voice : wav.voices) {
        if (voice.size() != wav.format.frames) {
            std::abort();
        }
        for (float v : voice) {
            if (!(v >= -1.0f && v <= 1.0f)) {
                std::abort();  // every width converts into -1..+1
            }
        }
    }
    return 0;
}
