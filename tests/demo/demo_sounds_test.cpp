// The synthesised demo sounds: loops must turn without a click, the chime
// must end in true silence (the scripts loop inside it), and the WAV files
// must carry what was synthesised.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <ostream>

#include "tests/support/test_support.h"
#include "tools/demo_sounds/synthesis.h"
#include "tools/demo_sounds/wav_file.h"

namespace demosounds {
namespace {

struct LoopCase {
    const char* name;
    Sound (*make)();
    double seconds;
};

void PrintTo(const LoopCase& c, std::ostream* out) { *out << c.name; }

class DemoLoops : public ::testing::TestWithParam<LoopCase> {};

TEST_P(DemoLoops, TurnWithoutAJumpAndStayWithinTheirLevel) {
    const LoopCase& c = GetParam();
    const Sound sound = c.make();
    ASSERT_EQ(sound.channels, 2);
    ASSERT_EQ(sound.frames(), static_cast<std::size_t>(c.seconds * kSampleRate));

    const std::size_t frames = sound.frames();
    float peak = 0.0f;
    for (float s : sound.samples) peak = std::max(peak, std::fabs(s));
    EXPECT_LE(peak, 0.5f + 1e-6f);
    EXPECT_GE(peak, 0.3f);
    // No half second of the loop falls silent.
    const std::size_t half = static_cast<std::size_t>(kSampleRate) / 2;
    for (std::size_t from = 0; from + half <= frames; from += half) {
        float level = 0.0f;
        for (std::size_t i = 2 * from; i < 2 * (from + half); ++i) level = std::max(level, std::fabs(sound.samples[i]));
        EXPECT_GT(level, 0.02f) << "silent from frame " << from;
    }
    for (std::size_t channel = 0; channel < 2; ++channel) {
        auto at = [&](std::size_t frame) { return sound.samples[frame * 2 + channel]; };
        float largestStep = 0.0f;
        for (std::size_t i = 1; i < frames; ++i) largestStep = std::max(largestStep, std::fabs(at(i) - at(i - 1)));
        // From the last frame back to the first: no larger than the steps
        // inside (give or take rounding).
        EXPECT_LE(std::fabs(at(0) - at(frames - 1)), largestStep * 1.01f)
            << "click at the loop turn, channel " << channel;
    }
}

INSTANTIATE_TEST_SUITE_P(Sounds, DemoLoops,
                         ::testing::Values(LoopCase{"CalmPad", calmPad, 8.0}, LoopCase{"ThetaDrone", thetaDrone, 8.0},
                                           LoopCase{"OceanWaves", oceanWaves, 12.0},
                                           LoopCase{"WindLayer", windLayer, 8.0}),
                         [](const ::testing::TestParamInfo<LoopCase>& info) { return std::string(info.param.name); });

TEST(DemoChime, StrikesAtOnceAndEndsInHalfASecondOfSilence) {
    const Sound chime = demosounds::chime();
    ASSERT_EQ(chime.frames(), static_cast<std::size_t>(3.0 * kSampleRate));
    const std::size_t silentFrom = static_cast<std::size_t>(2.5 * kSampleRate) * 2;
    for (std::size_t i = silentFrom; i < chime.samples.size(); ++i) ASSERT_EQ(chime.samples[i], 0.0f) << i;
    float earlyPeak = 0.0f;
    for (std::size_t i = 0; i < static_cast<std::size_t>(0.05 * kSampleRate) * 2; ++i) {
        earlyPeak = std::max(earlyPeak, std::fabs(chime.samples[i]));
    }
    EXPECT_GT(earlyPeak, 0.3f);
}

TEST(DemoSoundFiles, EveryNameIsUniqueAndEveryWavHoldsItsSamples) {
    feltrix::testing::TempDir dir;
    std::vector<std::string> names;
    for (const NamedSound& entry : demoSounds()) names.push_back(entry.name);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(std::adjacent_find(names.begin(), names.end()), names.end());

    Sound sound;
    sound.samples = {0.0f, 1.0f, -1.0f, 0.5f, 2.0f, -3.0f};  // the last two are clipped
    std::string error;
    const std::string path = dir.file("x.wav");
    ASSERT_TRUE(writeWav16(path, sound, error)) << error;
    const std::string bytes = feltrix::testing::readFile(path);
    ASSERT_EQ(bytes.size(), 44u + 12u);
    auto u16 = [&](std::size_t at) {
        return static_cast<unsigned>(static_cast<uint8_t>(bytes[at]) | static_cast<uint8_t>(bytes[at + 1]) << 8);
    };
    auto i16 = [&](std::size_t at) { return static_cast<int16_t>(u16(at)); };
    EXPECT_EQ(bytes.substr(0, 4), "RIFF");
    EXPECT_EQ(bytes.substr(8, 8), "WAVEfmt ");
    EXPECT_EQ(u16(20), 1u);      // PCM
    EXPECT_EQ(u16(22), 2u);      // channels
    EXPECT_EQ(u16(34), 16u);     // bits per sample
    EXPECT_EQ(bytes.substr(36, 4), "data");
    const int16_t expected[] = {0, 32767, -32767, 16384, 32767, -32767};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(i16(44 + 2 * static_cast<std::size_t>(i)), expected[i]) << i;

    EXPECT_FALSE(writeWav16(dir.file("missing/x.wav"), sound, error));
    EXPECT_NE(error.find("missing/x.wav"), std::string::npos) << error;
}

}  // namespace
}  // namespace demosounds
