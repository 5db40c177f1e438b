// What the program really plays: a recording of a null sink of the test sound
// server while Feltrix plays a 440 Hz tone. Needs the private sound server
// that scripts/test.sh starts (PULSE_SERVER set); skipped otherwise.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "tests/audio/audio_test_files.h"
#include "tests/support/test_support.h"

extern char** environ;

namespace feltrix {
namespace {

using namespace feltrix::testing;

bool pactl(std::vector<std::string> arguments, std::string* out = nullptr) {
    RunOptions options;
    options.arguments = std::move(arguments);
    const RunResult result = runProgram("/usr/bin/pactl", options);
    if (out != nullptr) *out = result.out.substr(0, result.out.find_first_of("\r\n"));
    return result.exitCode == 0;
}

// Records what a null sink made for this test alone plays (tests playing in
// parallel do not mix into it): parecord records its monitor as raw float32
// stereo at 48 kHz.
class SinkRecorder {
public:
    SinkRecorder(const std::string& sink, const std::string& path) : path_(path) {
        if (!pactl({"load-module", "module-null-sink", "sink_name=" + sink, "rate=48000", "channels=2",
                    "format=float32le", "norewinds=1"}, &module_) ||
            !pactl({"set-sink-volume", sink, "100%"})) {
            return;
        }
        const std::string device = sink + ".monitor";
        const char* argv[] = {"parecord", "--raw", "-d", device.c_str(), "--format=float32le", "--rate=48000",
                              "--channels=2", "--latency-msec=10", path.c_str(), nullptr};
        pid_t pid = -1;
        if (posix_spawnp(&pid, "parecord", nullptr, nullptr, const_cast<char* const*>(argv), environ) == 0) pid_ = pid;
    }
    ~SinkRecorder() {
        stop();
        if (!module_.empty()) pactl({"unload-module", module_});
    }
    bool started() const { return pid_ > 0; }
    // Ends the recording (bounded wait) and returns its interleaved samples.
    std::vector<float> stop() {
        if (pid_ <= 0) return {};
        kill(pid_, SIGINT);
        int status = 0;
        if (!waitFor([&] { return waitpid(pid_, &status, WNOHANG) == pid_; }, std::chrono::seconds(10))) {
            kill(pid_, SIGKILL);
            waitpid(pid_, &status, 0);
        }
        pid_ = -1;
        const std::string data = readFile(path_);
        std::vector<float> samples(data.size() / sizeof(float));
        std::memcpy(samples.data(), data.data(), samples.size() * sizeof(float));
        return samples;
    }

private:
    std::string path_, module_;
    int pid_ = -1;
};

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
    TempDir dir;
    dir.write("tone.wav", wavFile16(sine(440, kRate, kRate, kAmplitude), 1, kRate));
    const std::string sink = "feltrix_sound_test_" + std::to_string(getpid());
    const std::string recording = dir.file("recording.raw");
    SinkRecorder recorder(sink, recording);
    ASSERT_TRUE(recorder.started()) << "no sink or parecord did not start";
    ASSERT_TRUE(waitFor([&] { return readFile(recording).size() > 8192; })) << "the recorder records nothing";

    // Volume 1 and panning 0 at once; after about a second a slide to the
    // right; a second later the audio is reset and the tone loaded again.
    RunOptions options;
    options.environment["PULSE_SINK"] = sink;
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
