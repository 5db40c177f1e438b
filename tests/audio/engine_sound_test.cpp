// What the program really plays: a recording of the test sound server's sink
// while Feltrix plays a generated tone. Needs the private sound server that
// scripts/test.sh starts (PULSE_SERVER set); skipped otherwise.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>
#include <string>

#include "tests/audio/engine_sink_recorder.h"
#include "tests/audio/engine_test_sounds.h"
#include "tests/support/test_support.h"

namespace feltrix {
namespace {

using testing::TempDir;

constexpr int kRate = 48000;
constexpr float kAmplitude = 0.5f;

long fileSize(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 ? static_cast<long>(info.st_size) : -1;
}

// Largest absolute sample of one side over frames [from, to).
float peak(const std::vector<float>& samples, int side, std::size_t from, std::size_t to) {
    float level = 0.0f;
    for (std::size_t f = from; f < to && 2 * f + 1 < samples.size(); ++f) {
        level = std::max(level, std::fabs(samples[2 * f + side]));
    }
    return level;
}

// First frame at or after `from` whose sample on `side` (or either side, -1)
// exceeds `threshold`; npos when there is none.
std::size_t firstAbove(const std::vector<float>& samples, int side, std::size_t from, float threshold) {
    for (std::size_t f = from; 2 * f + 1 < samples.size(); ++f) {
        const float l = std::fabs(samples[2 * f]), r = std::fabs(samples[2 * f + 1]);
        const float v = side == 0 ? l : side == 1 ? r : std::max(l, r);
        if (v > threshold) return f;
    }
    return std::string::npos;
}

TEST(EngineSound, ToneIsHeardOnTheLeftMovesRightAndPlaysAgainAfterAReset) {
    if (std::getenv("PULSE_SERVER") == nullptr) GTEST_SKIP() << "no test sound server (PULSE_SERVER unset)";
    // A sink of our own: other tests may play into the shared one meanwhile.
    const testing::PrivateSink privateSink("feltrix_sound_test_" + std::to_string(getpid()));
    ASSERT_FALSE(privateSink.name().empty()) << "the sound server made no sink for the test";
    const std::string sink = privateSink.name();

    TempDir dir;
    dir.write("tone.wav", testing::wavFile16(testing::sine(440, kRate, kRate, kAmplitude), 1, kRate));
    const std::string recording = dir.file("recording.wav");
    testing::SinkRecorder recorder(sink, recording);
    ASSERT_TRUE(recorder.started()) << "parecord did not start";
    ASSERT_TRUE(testing::waitFor([&] { return fileSize(recording) > 8192; })) << "the recorder records nothing";

    // Volume 1 and panning 0 at once; after about a second a slide to the
    // right; a second later the audio is reset and the tone loaded again.
    testing::RunOptions options;
    options.environment["PULSE_SINK"] = sink;  // the program plays into our sink
    const testing::RunResult run = testing::runFeltrix(dir, R"lua(
loadWav("tone.wav")
slideAudioChannelVolume(0, 1, 0.01)
slideAudioChannelPanning(0, 0, 0.01)
setUpdateInterval(0.05)
local updates = 0
function FeltrixUpdateCallback()
  updates = updates + 1
  if updates == 20 then slideAudioChannelPanning(0, 1, 0.01) end
  if updates == 40 then
    resetAudio()
    loadWav("tone.wav")
    slideAudioChannelVolume(0, 1, 0.01)
    slideAudioChannelPanning(0, 0, 0.01)
  end
  if updates == 60 then exit() end
end
)lua",
                                                      options);
    ASSERT_EQ(run.exitCode, 0) << run.out << run.err;
    ASSERT_TRUE(recorder.stop());

    int channels = 0;
    const std::vector<float> samples = testing::readFloatWav(recording, &channels);
    ASSERT_EQ(channels, 2);
    // The play-to-capture delay varies: the tone starts at its first non-zero sample.
    const std::size_t start = firstAbove(samples, -1, 0, 0.0f);
    ASSERT_NE(start, std::string::npos) << "nothing was heard";

    // Left only, at the tone's level.
    const std::size_t leftFrom = start + kRate / 10, leftTo = start + kRate / 2;
    ASSERT_LT(2 * leftTo, samples.size()) << "the recording ends too early";
    EXPECT_NEAR(peak(samples, 0, leftFrom, leftTo), kAmplitude, 0.02f);
    EXPECT_LT(peak(samples, 1, leftFrom, leftTo), 1e-3f) << "the tone leaks to the right at panning 0";

    // After the slide: right only.
    const std::size_t moved = firstAbove(samples, 1, leftTo, 0.05f);
    ASSERT_NE(moved, std::string::npos) << "the tone never moved to the right";
    const std::size_t rightFrom = moved + kRate / 10, rightTo = moved + kRate * 4 / 10;
    ASSERT_LT(2 * rightTo, samples.size()) << "the recording ends too early after the slide";
    EXPECT_NEAR(peak(samples, 1, rightFrom, rightTo), kAmplitude, 0.02f);
    EXPECT_LT(peak(samples, 0, rightFrom, rightTo), 1e-3f) << "the tone stays on the left at panning 1";

    // After the reset the stream runs again and the reloaded tone is on the left.
    const std::size_t again = firstAbove(samples, 0, rightTo, 0.05f);
    ASSERT_NE(again, std::string::npos) << "nothing heard after resetAudio";
    const std::size_t againFrom = again + kRate / 10, againTo = again + kRate * 3 / 10;
    ASSERT_LT(2 * againTo, samples.size()) << "the recording ends too early after the reset";
    EXPECT_NEAR(peak(samples, 0, againFrom, againTo), kAmplitude, 0.02f);
    EXPECT_LT(peak(samples, 1, againFrom, againTo), 1e-3f);
}

}  // namespace
}  // namespace feltrix
