// The Ogg Vorbis reader against oggdec, chained files and broken input.
#include <gtest/gtest.h>

#include <cmath>

#include "audio/byte_source.h"
#include "audio/ogg_reader.h"
#include "tests/audio/decoder_test_files.h"
#include "tests/support/test_support.h"

namespace feltrix {
namespace {

using namespace feltrix::testing;

// Every frame the stream gives, interleaved.
Interleaved decodeAll(OggStream& stream) {
    Interleaved out;
    out.channels = stream.channels();
    out.sampleRate = static_cast<int>(stream.sampleRate());
    for (;;) {
        float** pcm = nullptr;
        long got = stream.read(pcm, 65536);
        if (got <= 0) {
            EXPECT_EQ(got, 0) << "decoding error";
            return out;
        }
        for (long f = 0; f < got; ++f) {
            for (int c = 0; c < out.channels; ++c) out.samples.push_back(pcm[c][f]);
        }
    }
}

std::string makeOgg(const TempDir& dir, const std::string& name, int channels, int rate, double seconds) {
    std::string path = testing::makeOgg(dir.path(), name, channels, rate, seconds);
    EXPECT_FALSE(fileBytes(path).empty());
    return path;
}

const char* openFile(OggStream& stream, const std::string& path) {
    auto source = FileByteSource::open(path.c_str());
    EXPECT_TRUE(source);
    return stream.open(std::move(source));
}

// Shorter and longer than the part a load decodes before it returns, mono,
// stereo and 6 channels: the samples match oggdec's 16-bit decoding to within
// its rounding (half a step of 16 bits, plus one float rounding).
TEST(OggReader, DecodesWhatOggdecDecodes) {
    TempDir dir;
    struct Case {
        const char* name;
        int channels;
        int rate;
        double seconds;
    };
    const Case cases[] = {
        {"short mono", 1, 44100, 0.5},
        {"short stereo", 2, 22050, 1.0},
        {"long stereo", 2, 44100, 3.0},
        {"6 channels", 6, 48000, 1.2},
    };
    const float tolerance = 0.5f / 32768.0f + 1e-7f;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string ogg = makeOgg(dir, "sound", c.channels, c.rate, c.seconds);
        const Interleaved reference = oggdecDecode(ogg, dir.path());
        ASSERT_EQ(reference.channels, c.channels);
        OggStream stream;
        ASSERT_EQ(openFile(stream, ogg), nullptr);
        EXPECT_EQ(stream.channels(), c.channels);
        EXPECT_EQ(static_cast<int>(stream.sampleRate()), c.rate);
        EXPECT_EQ(stream.totalFrames(), static_cast<std::uint64_t>(std::lround(c.rate * c.seconds)));
        const Interleaved ours = decodeAll(stream);
        ASSERT_EQ(ours.frames(), reference.frames());
        EXPECT_EQ(ours.frames(), stream.totalFrames());
        // oggdec may write more than two channels in another order than the
        // Vorbis order the voices keep: pair each voice with the reference
        // channel it matches best, and require a one-to-one pairing.
        std::vector<bool> taken(static_cast<std::size_t>(c.channels), false);
        float worst = 0.0f;
        for (int ch = 0; ch < c.channels; ++ch) {
            float best = 1e9f;
            int bestChannel = 0;
            for (int r = 0; r < c.channels; ++r) {
                float d = 0.0f;
                for (std::size_t f = 0; f < ours.frames(); ++f) {
                    d = std::max(d, std::fabs(ours.at(f, ch) - reference.at(f, r)));
                }
                if (d < best) {
                    best = d;
                    bestChannel = r;
                }
            }
            EXPECT_FALSE(taken[static_cast<std::size_t>(bestChannel)]) << "voice " << ch;
            taken[static_cast<std::size_t>(bestChannel)] = true;
            worst = std::max(worst, best);
        }
        EXPECT_LE(worst, tolerance);
    }
}

TEST(OggReader, PanningFollowsTheVorbisChannelOrder) {
    const std::vector<std::vector<float>> expected = {
        {0.5f},
        {0.0f, 1.0f},
        {0.0f, 0.5f, 1.0f},
        {0.0f, 1.0f, 0.0f, 1.0f},
        {0.0f, 0.5f, 1.0f, 0.0f, 1.0f},
        {0.0f, 0.5f, 1.0f, 0.0f, 1.0f, 0.5f},
        {0.0f, 0.5f, 1.0f, 0.0f, 1.0f, 0.5f, 0.5f, 0.5f},
    };
    for (const auto& row : expected) {
        const int channels = static_cast<int>(row.size());
        for (int i = 0; i < channels; ++i) EXPECT_EQ(oggChannelPanning(i, channels), row[static_cast<std::size_t>(i)]);
    }
}

// A chained file plays as far as its links keep the first link's channel
// count and rate; a link of another layout would not fit the voices.
TEST(OggReader, ChainedFilesPlayTheLinksOfTheFirstLayout) {
    TempDir dir;
    const std::string monoA = fileBytes(makeOgg(dir, "a", 1, 44100, 0.5));
    const std::string monoB = fileBytes(makeOgg(dir, "b", 1, 44100, 0.25));
    const std::string stereo = fileBytes(makeOgg(dir, "c", 2, 44100, 0.25));
    const std::string slower = fileBytes(makeOgg(dir, "d", 1, 22050, 0.25));
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
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        OggStream stream;
        ASSERT_EQ(stream.open(std::make_unique<MemoryByteSource>(c.bytes.data(), c.bytes.size())), nullptr);
        EXPECT_EQ(stream.channels(), 1);
        EXPECT_EQ(stream.totalFrames(), c.frames);
        EXPECT_EQ(decodeAll(stream).frames(), c.frames);
    }
}

TEST(OggReader, BrokenFilesGiveTheirFailureText) {
    TempDir dir;
    const std::string good = fileBytes(makeOgg(dir, "good", 2, 44100, 1.0));
    struct Case {
        const char* name;
        std::string bytes;
        const char* error;
    };
    const Case cases[] = {
        {"empty", "", "ov_test_callbacks failed: Ogg file does not contain Vorbis audio"},
        {"not Ogg at all", std::string(8000, 'x'), "ov_test_callbacks failed: Ogg file does not contain Vorbis audio"},
        {"cut in the first page", good.substr(0, 40), "ov_test_callbacks failed: Ogg file does not contain Vorbis audio"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        OggStream stream;
        EXPECT_STREQ(stream.open(std::make_unique<MemoryByteSource>(c.bytes.data(), c.bytes.size())), c.error);
    }
}

TEST(OggReader, DecodingErrorTexts) {
    EXPECT_STREQ(oggDecodingErrorText(OV_EBADLINK), "Invalid stream section");
    EXPECT_STREQ(oggDecodingErrorText(OV_EINVAL), "Headers corrupt");
    EXPECT_STREQ(oggDecodingErrorText(OV_HOLE), "File corrupt");
    EXPECT_STREQ(oggDecodingErrorText(OV_EFAULT), "If you're reading this, God help you");
}

}  // namespace
}  // namespace feltrix
