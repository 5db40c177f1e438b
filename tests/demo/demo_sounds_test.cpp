// The synthesised demo sounds: loops turn without a click, the chime ends in true silence (the scripts
// loop inside it), and the WAV files carry what was synthesised.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "tests/support/test_support.h"
#include "tools/demo_sounds/synthesis.h"
#include "tools/demo_sounds/wav_file.h"

namespace demosounds {
namespace {

float peak(const Sound& sound, std::size_t fromFrame, std::size_t toFrame) {
    float level = 0.0f;
    for (std::size_t i = 2 * fromFrame; i < 2 * toFrame; ++i) level = std::max(level, std::fabs(sound.samples[i]));
    return level;
}

TEST(DemoSounds, LoopsTurnWithoutAJumpAndTheChimeEndsInSilence) {
    const struct { const char* name; Sound (*make)(int); double seconds; } loops[] = {{"calm pad", calmPad, 8.0}, {"theta drone", thetaDrone, 8.0},
                 {"ocean waves", oceanWaves, 12.0}, {"wind layer", windLayer, 8.0}};
    for (const auto& c : loops) {
        SCOPED_TRACE(c.name);
        const Sound sound = c.make(kDefaultSampleRate);
        ASSERT_EQ(sound.channels, 2);
        const std::size_t frames = sound.frames(), half = kDefaultSampleRate / 2;
        ASSERT_EQ(frames, static_cast<std::size_t>(c.seconds * kDefaultSampleRate));
        EXPECT_LE(peak(sound, 0, frames), 0.5f + 1e-6f);
        EXPECT_GE(peak(sound, 0, frames), 0.3f);
        for (std::size_t from = 0; from + half <= frames; from += half)
            EXPECT_GT(peak(sound, from, from + half), 0.02f) << "silent from frame " << from;
        // From the last frame back to the first: no larger than the steps inside (give or take rounding).
        for (std::size_t channel = 0; channel < 2; ++channel) {
            auto at = [&](std::size_t frame) { return sound.samples[frame * 2 + channel]; };
            float largestStep = 0.0f;
            for (std::size_t i = 1; i < frames; ++i) largestStep = std::max(largestStep, std::fabs(at(i) - at(i - 1)));
            EXPECT_LE(std::fabs(at(0) - at(frames - 1)), largestStep * 1.01f) << "click at the turn, side " << channel;
        }
    }
    const Sound chime = demosounds::chime(kDefaultSampleRate);
    ASSERT_EQ(chime.frames(), static_cast<std::size_t>(3.0 * kDefaultSampleRate));
    EXPECT_EQ(peak(chime, static_cast<std::size_t>(2.5 * kDefaultSampleRate), chime.frames()), 0.0f);
    EXPECT_GT(peak(chime, 0, static_cast<std::size_t>(0.05 * kDefaultSampleRate)), 0.3f) << "the stroke comes late";
}

TEST(DemoSounds, TheWavHoldsTheClippedSamples) {
    feltrix::testing::TempDir dir;
    Sound sound;
    sound.samples = {0.0f, 1.0f, -1.0f, 0.5f, 2.0f, -3.0f};  // the last two are clipped
    std::string error;
    ASSERT_TRUE(writeWav16(dir.file("x.wav"), sound, error)) << error;
    // 16-bit PCM, stereo, 44.1 kHz: 176 400 bytes a second, 4 a frame.
    const std::string header("RIFF\x30\0\0\0WAVEfmt \x10\0\0\0\x01\0\x02\0\x44\xAC\0\0\x10\xB1\x02\0\x04\0\x10\0"
                             "data\x0C\0\0\0", 44);
    const std::string samples("\0\0\xFF\x7F\x01\x80\x00\x40\xFF\x7F\x01\x80", 12);  // 0, 32767, -32767, 16384, ...
    EXPECT_EQ(feltrix::testing::readFile(dir.file("x.wav")), header + samples);

    EXPECT_FALSE(writeWav16(dir.file("missing/x.wav"), sound, error));
    EXPECT_NE(error.find("missing/x.wav"), std::string::npos) << error;
}

}  // namespace
}  // namespace demosounds
