// The MP3 reader: header search, ID3v2 skipping, and decoding against lame --decode.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <tuple>

#include "audio/byte_source.h"
#include "audio/mp3_reader.h"
#include "tests/audio/audio_test_files.h"
#include "tests/support/test_support.h"

namespace feltrix {
namespace {

using namespace feltrix::testing;

std::string bytes(std::initializer_list<int> values) { return std::string(values.begin(), values.end()); }

TEST(Mp3Reader, AcceptsOnlyPlausibleFrameHeaders) {
    const std::pair<std::string, bool> cases[] = {
        {bytes({0xFF, 0xFB, 0x90, 0x00}), true},   // MPEG-1 layer III 128k 44.1k stereo
        {bytes({0xFF, 0xF3, 0x50, 0xC0}), true},   // MPEG-2 layer III mono
        {bytes({0xFF, 0xE3, 0x50, 0xC0}), true},   // MPEG-2.5
        {bytes({0xFE, 0xFB, 0x90, 0x00}), false},  // no sync
        {bytes({0xFF, 0xDB, 0x90, 0x00}), false},  // partial sync
        {bytes({0xFF, 0xEB, 0x90, 0x00}), false},  // reserved version
        {bytes({0xFF, 0xF9, 0x90, 0x00}), false},  // reserved layer
        {bytes({0xFF, 0xFB, 0xF0, 0x00}), false},  // bitrate index 15
        {bytes({0xFF, 0xFB, 0x9C, 0x00}), false},  // reserved sampling rate
        {bytes({0xFF, 0xFB, 0x90, 0x02}), false},  // reserved emphasis
        {bytes({0xFF, 0xFD, 0x10, 0xC0}), true},   // layer II 32k single channel
        {bytes({0xFF, 0xFD, 0x10, 0x00}), false},  // layer II 32k stereo
        {bytes({0xFF, 0xFD, 0x50, 0x40}), false},  // layer II 80k joint stereo
        {bytes({0xFF, 0xFD, 0x40, 0x00}), true},   // layer II 64k stereo
        {bytes({0xFF, 0xFD, 0xB0, 0xC0}), false},  // layer II 224k single channel
        {bytes({0xFF, 0xFD, 0xB0, 0x00}), true},   // layer II 224k stereo
        {bytes({0xFF, 0xF5, 0x10, 0x00}), true},   // MPEG-2 layer II 32k stereo: no such limit
    };
    for (const auto& [header, accepted] : cases) {
        SCOPED_TRACE(::testing::PrintToString(header));
        EXPECT_EQ(acceptableMp3Header(reinterpret_cast<const std::uint8_t*>(header.data())), accepted);
    }
}

TEST(Mp3Reader, FindsTheFirstHeaderAfterAnId3Tag) {
    const std::string frame = bytes({0xFF, 0xFB, 0x90, 0x00});
    auto tag = [](int flags, std::uint32_t size) {
        return std::string("ID3\x04\x00", 5) + static_cast<char>(flags) +
               bytes({static_cast<int>((size >> 21) & 0x7F), static_cast<int>((size >> 14) & 0x7F),
                      static_cast<int>((size >> 7) & 0x7F), static_cast<int>(size & 0x7F)});
    };
    // A tag body holding what looks like a frame header: skipped, not decoded.
    const std::string body = std::string(100, 'x') + frame + std::string(196, 'y');
    struct Case { const char* name; std::string data; std::size_t start; };  // 0: "Invalid MP3 file"
    const Case cases[] = {
        {"no tag", "junk" + frame, 4},
        {"tag without footer", tag(0, 300) + body + "ab" + frame, 10 + 300 + 2},
        {"tag with footer", tag(0x10, 300) + body + std::string(10, 'f') + frame, 10 + 300 + 10},
        {"synchsafe size over 128", tag(0, 200) + std::string(200, 'z') + frame, 210},
        {"header in the last four bytes", "abcdefg" + frame, 7},
        {"tag reaching past the end", tag(0, 5000) + body + frame, 0},
        {"tag header cut short", std::string("ID3\x04\x00", 5), 0},
        {"header in the last three bytes", "abcdefg" + frame.substr(0, 3), 0},
        {"empty", "", 0},
        {"zeros", std::string(5000, '\0'), 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::size_t start = 12345;
        const char* error = findMp3Start(reinterpret_cast<const std::uint8_t*>(c.data.data()), c.data.size(), start);
        EXPECT_STREQ(error, c.start ? nullptr : "Invalid MP3 file");
        if (c.start) { EXPECT_EQ(start, c.start); }
    }
}

// Largest difference between our decoding, from frame `lag` on, and lame's.
float largestDifference(const NewVoices& ours, const Interleaved& lame, std::size_t lag, std::size_t frames) {
    float worst = 0.0f;
    for (std::size_t f = 0; f < frames && f < lame.frames() && f + lag < ours[0]->sampleCount; ++f) {
        worst = std::max(worst, std::fabs(ours[0]->samples[f + lag] - lame.at(f, 0)));
        worst = std::max(worst, std::fabs(ours[1]->samples[f + lag] - lame.at(f, lame.channels - 1)));
    }
    return worst;
}

// Sample frames of the MPEG audio frames of a layer III file without tags, walked header by header; a Xing/Info
// frame (no sound) is not counted. 0 when the walk loses its way.
std::uint64_t mpegSampleFrames(const std::string& mp3) {
    static const int kbps[2][15] = {{0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160},
                                    {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320}};
    std::size_t frames = 0, at = 0, perFrame = 0;
    for (; at + 4 <= mp3.size() && static_cast<std::uint8_t>(mp3[at]) == 0xFF; ++frames) {
        const int version = static_cast<std::uint8_t>(mp3[at + 1]) >> 3 & 3, b2 = static_cast<std::uint8_t>(mp3[at + 2]), mpeg1 = version == 3;
        perFrame = mpeg1 ? 1152 : 576;  // version 3: MPEG-1, 2: MPEG-2 (half the rate), 0: MPEG-2.5 (a quarter)
        const int rate = std::array{44100, 48000, 32000}[(b2 >> 2) & 3] >> (mpeg1 ? 0 : version == 2 ? 1 : 2);
        if (mp3.substr(at, 64).find("Xing") != std::string::npos || mp3.substr(at, 64).find("Info") != std::string::npos)
            --frames;
        at += perFrame / 8 * 1000 * kbps[mpeg1][b2 >> 4] / rate + ((b2 >> 1) & 1);
    }
    return at == mp3.size() ? frames * perFrame : 0;
}

// Stereo and mono files, one behind an ID3v2 tag holding a sync pattern, decode as lame --decode does, to
// their last frame: VBR, low-bitrate and very short files, whose last frames hip keeps buffered, too.
TEST(Mp3Reader, DecodesWhatLameDecodes) {
    TempDir dir;
    std::string tag = std::string("ID3\x03\x00\x00\x00\x00\x04\x58", 10) + std::string(600, 'T');
    tag[310] = '\xFF', tag[311] = '\xFB';
    const std::tuple<int, const char*, std::string, double> cases[] = {
        {2, "-b 128", "", 1.5}, {1, "-b 64 -m m", tag, 1.5}, {2, "-V 4 --resample 22.05", "", 1.5},
        {2, "-V 2", "", 1.5}, {2, "-b 32", "", 1.5}, {1, "-b 64 -m m", tag, 0.03}};
    for (const auto& [channels, lameOptions, tagPrefix, seconds] : cases) {
        SCOPED_TRACE(std::string(lameOptions) + ", " + std::to_string(seconds) + " s");
        const std::string wav = makeWav(dir.path(), "source", channels, 44100, seconds), mp3 = dir.file("encoded.mp3");
        ASSERT_TRUE(runCommand("lame --quiet --noreplaygain " + std::string(lameOptions) + " '" + wav + "' '" + mp3 +
                               "'"));
        const Interleaved reference = referenceDecode(mp3, dir.path());
        ASSERT_GT(reference.frames(), 0u);
        const std::string data = tagPrefix + readFile(mp3);
        const std::uint64_t mpegFrames = mpegSampleFrames(readFile(mp3));
        MemoryByteSource source(data.data(), data.size());
        NewVoices ours;
        ASSERT_EQ(readMp3File(source, ours), nullptr);
        ASSERT_EQ(ours.size(), 2u);
        EXPECT_EQ(ours[0]->sourceRate, static_cast<std::uint32_t>(reference.sampleRate));
        ASSERT_EQ(ours[0]->sampleCount, ours[1]->sampleCount);
        EXPECT_EQ(ours[0]->sampleCount, mpegFrames);  // to the last frame, delay and padding kept
        // lame --decode drops the codec delay at the start, which the reader keeps: find where they agree.
        std::size_t lag = 0;
        float bestDifference = 1e9f;
        for (std::size_t l = 0; l <= 4000; ++l) {
            const float d = largestDifference(ours, reference, l, 4000);
            if (d < bestDifference) bestDifference = d, lag = l;
        }
        EXPECT_GE(ours[0]->sampleCount, reference.frames() + lag);
        // The very same 16-bit samples, each divided by 32768; a mono stream plays on both voices.
        EXPECT_EQ(largestDifference(ours, reference, lag, reference.frames()), 0.0f);
        const float* left = ours[0]->samples.get();
        if (channels == 1) { EXPECT_TRUE(std::equal(left, left + ours[0]->sampleCount, ours[1]->samples.get())); }
    }
}

}  // namespace
}  // namespace feltrix
