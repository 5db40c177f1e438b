// Chained Ogg Vorbis files (samples are compared with oggdec's in the background-load test).
#include <gtest/gtest.h>

#include "audio/byte_source.h"
#include "audio/ogg_reader.h"
#include "tests/audio/audio_test_files.h"
#include "tests/support/test_support.h"

namespace feltrix {
namespace {

using namespace feltrix::testing;

// A chained file plays as far as its links keep the first link's layout, which the voices have, and says why the
// rest is left out.
TEST(OggReader, ChainedFilesPlayTheLinksOfTheFirstLayout) {
    TempDir dir;
    const std::string monoA = readFile(makeOgg(dir.path(), "a", 1, 44100, 0.5));
    const std::string monoB = readFile(makeOgg(dir.path(), "b", 1, 44100, 0.25));
    const std::string stereo = readFile(makeOgg(dir.path(), "c", 2, 44100, 0.25));
    const std::string slower = readFile(makeOgg(dir.path(), "d", 1, 22050, 0.25));
    auto leftOut = [](const char* from, const char* layout) {
        return "the rest of the file, from stream " + std::string(from) + " on, was not loaded: it has " + layout +
               ", the first stream 1 at 44100 Hz";
    };
    struct Case { const char* name; std::string bytes; std::uint64_t frames; std::string note; };
    const Case cases[] = {
        {"same layout", monoA + monoB, 22050 + 11025, ""},
        {"then more channels", monoA + stereo, 22050, leftOut("2 of 2", "2 channel(s) at 44100 Hz")},
        {"then another rate", monoA + slower, 22050, leftOut("2 of 2", "1 channel(s) at 22050 Hz")},
        {"same, other, same", monoA + stereo + monoB, 22050, leftOut("2 of 3", "2 channel(s) at 44100 Hz")},
    };
    for (const auto& [name, bytes, frames, note] : cases) {
        SCOPED_TRACE(name);
        OggStream stream;
        ASSERT_EQ(stream.open(std::make_unique<MemoryByteSource>(bytes.data(), bytes.size())), nullptr);
        EXPECT_EQ(stream.channels(), 1);
        EXPECT_EQ(stream.totalFrames(), frames);
        EXPECT_EQ(stream.unplayedLinksNote(), note);
        float** pcm = nullptr;
        long got, decoded = 0;
        while ((got = stream.read(pcm, 65536)) > 0) decoded += got;
        EXPECT_EQ(got, 0) << "decoding error";
        EXPECT_EQ(static_cast<std::uint64_t>(decoded), frames);
    }
}

}  // namespace
}  // namespace feltrix
