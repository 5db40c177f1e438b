// What the program really plays: the test sound server's sink recorded while Feltrix plays a 440 Hz
// tone. Skipped without the server that scripts/test.sh starts (PULSE_SERVER unset).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "tests/audio/audio_test_files.h"
#include "tests/support/sink_recorder_posix.h"

namespace feltrix {
namespace {

using namespace feltrix::testing;

constexpr int kRate = SinkRecorder::kRate;
constexpr float kAmplitude = 0.5f;
// One period of 440 Hz is 109.09 frames: the RMS over 109 frames is within 0.1 % whatever the phase.
constexpr std::size_t kBlock = 109;
constexpr std::size_t npos = std::string::npos;

struct Recording {
    std::vector<float> samples;
    std::size_t frames() const { return samples.size() / 2; }
    bool loud(std::size_t frame, int side) const { return std::fabs(samples[2 * frame + side]) > 0.05f; }
    std::size_t firstLoud(int side, std::size_t from) const {
        for (std::size_t f = from; f < frames(); ++f)
            if (loud(f, side)) return f;
        return npos;
    }
    std::size_t lastLoud(int side, std::size_t to) const {
        for (std::size_t f = std::min(to, frames()); f-- > 0;)
            if (loud(f, side)) return f;
        return npos;
    }
    // Median RMS of the blocks in [from, to) played whole: a block with a gap (an underrun on a loaded
    // machine: several samples in a row at 0, where the tone has at most one) is left out. -1: none whole.
    double level(int side, std::size_t from, std::size_t to) const {
        std::vector<double> levels;
        for (std::size_t b = from; b + kBlock <= to; b += kBlock) {
            double sum = 0.0;
            int quiet = 0;
            bool gap = false;
            for (std::size_t f = b; f < b + kBlock; ++f) {
                const double x = samples[2 * f + side];
                sum += x * x;
                quiet = std::fabs(x) < 1e-4 ? quiet + 1 : 0;
                gap = gap || quiet >= 4;
            }
            if (!gap) levels.push_back(std::sqrt(sum / kBlock));
        }
        if (levels.empty()) return -1.0;
        std::nth_element(levels.begin(), levels.begin() + levels.size() / 2, levels.end());
        return levels[levels.size() / 2];
    }
    double rms(int side, std::size_t from, std::size_t to) const {
        double sum = 0.0;
        for (std::size_t f = from; f < to; ++f) sum += double(samples[2 * f + side]) * samples[2 * f + side];
        return to > from ? std::sqrt(sum / (to - from)) : 0.0;
    }
};

TEST(EngineSound, ToneIsHeardOnTheLeftMovesRightAndPlaysAgainAfterAReset) {
    if (!soundServerAvailable()) GTEST_SKIP() << "no test sound server (PULSE_SERVER unset)";
    TempDir dir;
    dir.write("tone.wav", wavFile16(sine(440, kRate, kRate, kAmplitude), 1, kRate));
    SinkRecorder recorder(dir.file("recording.raw"));
    ASSERT_TRUE(recorder.started()) << "no sink or parecord did not start";

    // Left at once; after about a second a slide right; a second later a reset and the tone again.
    RunOptions options;
    options.environment["PULSE_SINK"] = recorder.sink();
    const RunResult run = runFeltrix(dir, R"lua(
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
    const Recording r{recorder.stop()};

    // Each part lies between transitions seen in the recording, not moments in time; a tenth of a second
    // at both ends keeps slides and the converter's start out. A channel starts at panning 0.5 (both
    // sides sound during its first slide): a side's onset is looked for a twentieth of a second on.
    const std::size_t leftOn = r.firstLoud(0, 0);
    ASSERT_NE(leftOn, npos) << "not heard";
    const std::size_t rightOn = r.firstLoud(1, leftOn + kRate / 20);
    ASSERT_NE(rightOn, npos) << "never moved right";
    const std::size_t leftAgain = r.firstLoud(0, rightOn + kRate / 20);
    ASSERT_NE(leftAgain, npos) << "not heard after resetAudio";
    const struct { const char* name; int side; std::size_t from, to; } parts[] = {{"left at panning 0", 0, leftOn, rightOn},
                 {"right after the slide to panning 1", 1, rightOn, r.lastLoud(1, leftAgain)},
                 {"left again after resetAudio", 0, leftAgain, r.lastLoud(0, r.frames())}};
    for (const auto& part : parts) {
        SCOPED_TRACE(part.name);
        ASSERT_GE(part.to, part.from + kRate / 5 + kRate / 10) << "the part is too short to measure";
        const std::size_t from = part.from + kRate / 10, to = part.to - kRate / 10;
        EXPECT_NEAR(r.level(part.side, from, to), kAmplitude / std::sqrt(2.0), 0.01);
        EXPECT_LT(r.rms(1 - part.side, from, to), 1e-3) << "heard on the other side";
    }
}

}  // namespace
}  // namespace feltrix
