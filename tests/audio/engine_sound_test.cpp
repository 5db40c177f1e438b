// What the program really plays: a recording of a null sink of the test sound
// server while Feltrix plays a 440 Hz tone. Needs the private sound server
// that scripts/test.sh starts (PULSE_SERVER set); skipped otherwise.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "tests/audio/audio_test_files.h"
#include "tests/audio/engine_sink_recorder.h"
#include "tests/support/test_support.h"

namespace feltrix {
namespace {

constexpr int kRate = 48000;
constexpr float kAmplitude = 0.5f;
constexpr std::size_t npos = std::string::npos;

// Largest absolute sample of one side over frames [from, to).
float peak(const std::vector<float>& samples, int side, std::size_t from, std::size_t to) {
    float level = 0.0f;
    for (std::size_t f = from; f < to && 2 * f + 1 < samples.size(); ++f) {
        level = std::max(level, std::fabs(samples[2 * f + side]));
    }
    return level;
}

// First frame at or after `from` whose sample on `side` exceeds `threshold`.
std::size_t firstAbove(const std::vector<float>& samples, int side, std::size_t from, float threshold) {
    for (std::size_t f = from; 2 * f + 1 < samples.size(); ++f) {
        if (std::fabs(samples[2 * f + side]) > threshold) return f;
    }
    return npos;
}

TEST(EngineSound, ToneIsHeardOnTheLeftMovesRightAndPlaysAgainAfterAReset) {
    if (std::getenv("PULSE_SERVER") == nullptr) GTEST_SKIP() << "no test sound server (PULSE_SERVER unset)";
    testing::TempDir dir;
    dir.write("tone.wav", testing::wavFile16(testing::sine(440, kRate, kRate, kAmplitude), 1, kRate));
    const std::string sink = "feltrix_sound_test_" + std::to_string(getpid());
    const std::string recording = dir.file("recording.raw");
    testing::SinkRecorder recorder(sink, recording);
    ASSERT_TRUE(recorder.started()) << "no sink or parecord did not start";
    ASSERT_TRUE(testing::waitFor([&] { return testing::readFile(recording).size() > 8192; }))
        << "the recorder records nothing";

    // Volume 1 and panning 0 at once; after about a second a slide to the
    // right; a second later the audio is reset and the tone loaded again.
    testing::RunOptions options;
    options.environment["PULSE_SINK"] = sink;
    const testing::RunResult run = testing::runFeltrix(dir, R"lua(
local function start()
  loadWav("tone.wav")
  slideAudioChannelVolume(0, 1, 0.01)
  slideAudioChannelPanning(0, 0, 0.01)
end
start()
setUpdateInterval(0.05)
local updates = 0
function FeltrixUpdateCallback()
  updates = updates + 1
  if updates == 20 then slideAudioChannelPanning(0, 1, 0.01) end
  if updates == 40 then resetAudio() start() end
  if updates == 60 then exit() end
end
)lua", options);
    ASSERT_EQ(run.exitCode, 0) << run.out << run.err;
    const std::vector<float> samples = recorder.stop();

    // The play-to-capture delay varies: each part starts where its side first
    // rises; the level is measured from a tenth of a second on.
    struct Part {
        const char* name;
        int side;
        std::size_t length;
    };
    const Part parts[] = {{"left at panning 0", 0, kRate * 4 / 10},
                          {"right after the slide to panning 1", 1, kRate * 3 / 10},
                          {"left again after resetAudio", 0, kRate * 2 / 10}};
    std::size_t from = 0;
    for (const Part& part : parts) {
        SCOPED_TRACE(part.name);
        const std::size_t start = firstAbove(samples, part.side, from, 0.05f);
        ASSERT_NE(start, npos) << "not heard";
        const std::size_t begin = start + kRate / 10, end = begin + part.length;
        ASSERT_LT(2 * end, samples.size()) << "the recording ends too early";
        EXPECT_NEAR(peak(samples, part.side, begin, end), kAmplitude, 0.02f);
        EXPECT_LT(peak(samples, 1 - part.side, begin, end), 1e-3f) << "heard on the other side";
        from = end;
    }
}

}  // namespace
}  // namespace feltrix
