// The WAV reader against hand-made headers and against sox.
#include <gtest/gtest.h>

#include <cmath>

#include "audio/byte_source.h"
#include "audio/wav_reader.h"
#include "tests/audio/decoder_test_files.h"
#include "tests/support/test_support.h"

namespace feltrix {
namespace {

using namespace feltrix::testing;

const char* decode(const std::string& bytes, DecodedWav& wav) {
    MemoryByteSource source(bytes.data(), bytes.size());
    return decodeWav(source, wav);
}

TEST(WavReader, ConvertsEachSampleWidthAsDocumented) {
    struct Case {
        const char* name;
        std::uint16_t bits;
        std::string data;
        std::vector<float> expected;
    };
    const Case cases[] = {
        {"8 bit", 8, std::string("\x80\x00\xFF", 3), {0.0f, -1.0f, 127.0f / 128.0f}},
        {"16 bit", 16, le16(0x8000) + le16(0x7FFF) + le16(0), {-1.0f, 32767.0f / 32768.0f, 0.0f}},
        {"32 bit", 32, le32(0x80000000u) + le32(0x40000000u) + le32(1),
         {-1.0f, 0.5f, static_cast<float>(1.0 / 2147483648.0)}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::uint16_t align = c.bits / 8;
        DecodedWav wav;
        ASSERT_EQ(decode(riffWave(chunk("fmt ", fmtBody(1, 1, 8000, align, c.bits)) + chunk("data", c.data)), wav),
                  nullptr);
        ASSERT_EQ(wav.voices.size(), 1u);
        EXPECT_EQ(wav.voices[0], c.expected);
        EXPECT_EQ(wav.format.sampleRate, 8000u);
    }
}

TEST(WavReader, PanningPutsAStereoPairOnItsSidesAndEverythingElseInTheMiddle) {
    EXPECT_EQ(wavChannelPanning(0, 2), 0.0f);
    EXPECT_EQ(wavChannelPanning(1, 2), 1.0f);
    EXPECT_EQ(wavChannelPanning(0, 1), 0.5f);
    for (int i = 0; i < 6; ++i) EXPECT_EQ(wavChannelPanning(i, 6), 0.5f);
}

TEST(WavReader, RefusesOrLimitsHeadersItCannotReadSafely) {
    const std::string pcm16 = chunk("fmt ", fmtBody(1, 2, 44100, 4, 16));
    const std::string fourFrames(16, '\x01');
    struct Case {
        const char* name;
        std::string bytes;
        const char* error;       // null: loads
        std::uint64_t frames;    // when it loads
        int channels;
    };
    const Case cases[] = {
        {"empty file", "", "File is not a RIFF WAV file", 0, 0},
        {"not RIFF", "RIFX" + le32(4) + "WAVE", "File is not a RIFF WAV file", 0, 0},
        {"cut after RIFF", "RIFF", "File is not in WAVE format", 0, 0},
        {"not WAVE", "RIFF" + le32(4) + "AVI ", "File is not in WAVE format", 0, 0},
        {"no fmt chunk", riffWave(chunk("data", fourFrames)), "File is not in WAVE format", 0, 0},
        {"fmt shorter than 16", riffWave(chunk("fmt ", std::string(14, '\0'))), "File is not in WAVE format", 0, 0},
        {"fmt cut short", riffWave("fmt " + le32(16) + std::string(10, '\0')), "File is not in WAVE format", 0, 0},
        {"float format", riffWave(chunk("fmt ", fmtBody(3, 2, 44100, 8, 32)) + chunk("data", fourFrames)),
         "WAV file is not raw PCM", 0, 0},
        {"24 bit", riffWave(chunk("fmt ", fmtBody(1, 2, 44100, 6, 24)) + chunk("data", fourFrames)),
         "WAV file has unsupported bits per sample", 0, 0},
        {"no data chunk", riffWave(pcm16 + chunk("LIST", "INFOabcd")), "WAV file has no data chunk", 0, 0},
        {"block align 0", riffWave(chunk("fmt ", fmtBody(1, 2, 44100, 0, 16)) + chunk("data", fourFrames)),
         "WAV file has an invalid block align", 0, 0},
        {"block align too small", riffWave(chunk("fmt ", fmtBody(1, 2, 44100, 2, 16)) + chunk("data", fourFrames)),
         "WAV file has an invalid block align", 0, 0},
        {"channel count above 32767",
         riffWave(chunk("fmt ", fmtBody(1, 40000, 44100, 4, 8)) + chunk("data", fourFrames)),
         "WAV file has too many channels", 0, 0},
        {"sample rate 0", riffWave(chunk("fmt ", fmtBody(1, 2, 0, 4, 16)) + chunk("data", fourFrames)),
         "WAV file has an invalid sample rate", 0, 0},
        {"canonical", riffWave(pcm16 + chunk("data", fourFrames)), nullptr, 4, 2},
        {"0 channels", riffWave(chunk("fmt ", fmtBody(1, 0, 44100, 0, 16)) + chunk("data", fourFrames)),
         nullptr, 0, 0},
        {"empty data chunk", riffWave(pcm16 + chunk("data", "")), nullptr, 0, 2},
        {"data shorter than declared", riffWave(pcm16 + chunk("data", fourFrames + "\x01\x02", 4000)), nullptr, 4, 2},
        {"streaming size placeholder", riffWave(pcm16 + chunk("data", fourFrames, 0xFFFFFFFFu)), nullptr, 4, 2},
        {"LIST and fact before data",
         riffWave(pcm16 + chunk("LIST", "INFOISFT\x05\0\0\0sox\0\0") + chunk("fact", le32(4)) +
                  chunk("data", fourFrames)),
         nullptr, 4, 2},
        {"odd-sized chunk before data", riffWave(pcm16 + chunk("junk", "abc") + chunk("data", fourFrames)), nullptr,
         4, 2},
        {"fmt of 18 bytes", riffWave(chunk("fmt ", fmtBody(1, 2, 44100, 4, 16) + le16(0)) + chunk("data", fourFrames)),
         nullptr, 4, 2},
        {"padded frames", riffWave(chunk("fmt ", fmtBody(1, 2, 44100, 8, 16)) + chunk("data", fourFrames)), nullptr,
         2, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DecodedWav wav;
        const char* error = decode(c.bytes, wav);
        if (c.error) {
            ASSERT_NE(error, nullptr);
            EXPECT_STREQ(error, c.error);
        } else {
            ASSERT_EQ(error, nullptr) << error;
            EXPECT_EQ(wav.format.frames, c.frames);
            ASSERT_EQ(static_cast<int>(wav.voices.size()), c.channels);
            for (const auto& voice : wav.voices) EXPECT_EQ(voice.size(), c.frames);
        }
    }
}

TEST(WavReader, ExtensibleHeadersAreReadByTheirSubFormat) {
    auto extensible = [](std::uint16_t subTag) {
        const std::string guidTail("\x00\x00\x00\x00\x10\x00\x80\x00\x00\xAA\x00\x38\x9B\x71", 14);
        return chunk("fmt ", fmtBody(0xFFFE, 1, 8000, 2, 16) + le16(22) + le16(16) + le32(4) + le16(subTag) + guidTail);
    };
    DecodedWav wav;
    ASSERT_EQ(decode(riffWave(extensible(1) + chunk("data", le16(0x4000))), wav), nullptr);
    EXPECT_EQ(wav.voices.at(0), std::vector<float>{0.5f});
    EXPECT_STREQ(decode(riffWave(extensible(3) + chunk("data", le32(0))), wav), "WAV file is not raw PCM");
}

// Files as sox writes them (8/16/32 bit, stereo and 6 channels, which sox
// writes with an extensible header) decode to exactly what sox decodes.
TEST(WavReader, DecodesExactlyWhatSoxDecodes) {
    TempDir dir;
    struct Case {
        const char* name;
        int channels;
        const char* encoding;
    };
    const Case cases[] = {
        {"8 bit stereo", 2, "-b 8 -e unsigned-integer"},
        {"16 bit stereo", 2, "-b 16 -e signed-integer"},
        {"32 bit stereo", 2, "-b 32 -e signed-integer"},
        {"16 bit mono", 1, "-b 16 -e signed-integer"},
        {"16 bit 6 channels", 6, "-b 16 -e signed-integer"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = dir.file(std::string(c.name) + ".wav");
        ASSERT_TRUE(runCommand("sox -R -n -r 22050 -c " + std::to_string(c.channels) + " " + c.encoding + " '" +
                               path + "' synth 0.5 whitenoise vol 0.9"));
        const Interleaved reference = soxDecode(path, c.channels, 22050);
        ASSERT_GT(reference.frames(), 10000u);
        const std::string bytes = fileBytes(path);
        DecodedWav wav;
        ASSERT_EQ(decode(bytes, wav), nullptr);
        ASSERT_EQ(static_cast<int>(wav.voices.size()), c.channels);
        ASSERT_EQ(wav.format.frames, reference.frames());
        EXPECT_EQ(wav.format.sampleRate, 22050u);
        std::size_t mismatches = 0;
        for (std::size_t f = 0; f < reference.frames(); ++f) {
            for (int ch = 0; ch < c.channels; ++ch) {
                mismatches += wav.voices[static_cast<std::size_t>(ch)][f] != reference.at(f, ch);
            }
        }
        EXPECT_EQ(mismatches, 0u);
    }
}

}  // namespace
}  // namespace feltrix
