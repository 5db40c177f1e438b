// Any bytes through the MP3 reader: either a failure text or two voices of the
// same length.
#include <cstdint>
#include <cstdlib>

#include "audio/byte_source.h"
#include "audio/mp3_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    feltrix::MemoryByteSource source(data, size);
    feltrix::DecodedMp3 mp3;
    if (feltrix::decodeMp3(source, mp3) != nullptr) {
        return 0;
    }
    if (mp3.left.size() != mp3.right.size() || mp3.sampleRate <= 0) {
        std::abort();
    }
    return 0;
}
