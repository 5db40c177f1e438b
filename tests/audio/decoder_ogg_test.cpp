// The Ogg Vorbis reader against oggdec, and chained files.
#include <gtest/gtest.h>

#include <cmath>

#include "audio/byte_source.h"
#include "audio/ogg_reader.h"
#include "tests/audio/audio_test_files.h"
#include "tests/support/test_support.h"

namespace feltrix {
namespace {

using namespace feltrix::testing;

// Shorter and longer than the part a load decodes before it returns (50 000
// frames), mono, stereo and 6 channels: the samples match oggdec's 16-bit
// decoding to within its rounding (half a 16-bit step plus a float rounding).
TEST(OggReader, DecodesWhatOggdecDecodes) {
    TempDir dir;
    struct Case {
        const char* name;
        int channels, rate;
        double seconds;
    };
    const Case cases[] = {
        {"short mono", 1, 44100, 0.5},
        {"short stereo", 2, 22050, 1.0},
        {"long stereo", 2, 44100, 3.0},
        {"6 channels", 6, 48000, 1.2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string ogg = makeOgg(dir.path(), "sound", c.channels, c.rate, c.seconds);
        const Interleaved reference = oggdecDecode(ogg, dir.path());
        ASSERT_EQ(reference.channels, c.channels);
        OggStream stream;
        ASSERT_EQ(stream.open(FileByteSource::open(ogg.c_str())), nullptr);
        EXPECT_EQ(static_cast<int>(stream.sampleRate()), c.rate);
        EXPECT_EQ(stream.totalFrames(), static_cast<std::uint64_t>(std::lround(c.rate * c.seconds)));
        const Interleaved ours = decodeOggStream(stream);
        ASSERT_EQ(ours.channels, c.channels);
        ASSERT_EQ(ours.frames(), reference.frames());
        EXPECT_EQ(ours.frames(), stream.totalFrames());
        // oggdec may write more than two channels in another order than the
        // Vorbis order the voices keep: each voice must match its own
        // reference channel.
        std::vector<bool> taken(c.channels, false);
        for (int ch = 0; ch < c.channels; ++ch) {
            float best = 1e9f;
            int match = 0;
            for (int r = 0; r < c.channels; ++r) {
                float d = 0.0f;
                for (std::size_t f = 0; f < ours.frames(); ++f) {
                    d = std::max(d, std::fabs(ours.at(f, ch) - reference.at(f, r)));
                }
                if (d < best) best = d, match = r;
            }
            EXPECT_FALSE(taken[match]) << "voice " << ch;
            taken[match] = true;
            EXPECT_LE(best, 0.5f / 32768.0f + 1e-7f) << "voice " << ch;
        }
    }
}

// A chained file plays as far as its links keep the first link's channel
// count and rate; a link of another layout would not fit the voices.
TEST(OggReader, ChainedFilesPlayTheLinksOfTheFirstLayout) {
    TempDir dir;
    const std::string monoA = readFile(makeOgg(dir.path(), "a", 1, 44100, 0.5));
    const std::string monoB = readFile(makeOgg(dir.path(), "b", 1, 44100, 0.25));
    const std::string stereo = readFile(makeOgg(dir.path(), "c", 2, 44100, 0.25));
    const std::string slower = readFile(makeOgg(dir.path(), "d", 1, 22050, 0.25));
    struct Case {
        const char* name;
        std::string bytes;
        std::uint64_t frames;
    };
    const Case cases[] = {
        {"same layout", monoA + monoB, 22050 + 11025},
        {"then more channels", monoA + stereo, 22050},
        {"then another rate", monoA + slower, 22050},
        {"same, other, same", monoA + stereo + monoB, 22050},
    };
    for (const auto& [name, bytes, frames] : cases) {
        SCOPED_TRACE(name);
        OggStream stream;
        ASSERT_EQ(stream.open(std::make_unique<MemoryByteSource>(bytes.data(), bytes.size())), nullptr);
        EXPECT_EQ(stream.channels(), 1);
        EXPECT_EQ(stream.totalFrames(), frames);
        EXPECT_EQ(decodeOggStream(stream).frames(), frames);
    }
}

}  // namespace
}  // namespace feltrix
