// feltrix-render as a user runs it: the files it writes (read back with libsndfile), the values its
// scripts see, its exact virtual clock and its one-line errors.
#include <gtest/gtest.h>
#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <numeric>
#include <string>
#include <utility>
#include <vector>

#include "hostlink/binding_texts.h"
#include "tests/support/test_support.h"
#include "tools/acquire/tick_recording.h"
#include "tools/render/session_values.h"

namespace feltrix::testing {
namespace {

// A stereo sound file read back, interleaved.
struct Sound { std::vector<float> frames; std::size_t size() const { return frames.size() / 2; } };

Sound readSound(const std::string& path) {
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    Sound sound{std::vector<float>(static_cast<std::size_t>(info.frames) * 2)};
    sf_readf_float(file, sound.frames.data(), info.frames);
    sf_close(file);
    return sound;
}

// Runs feltrix-render in `dir`, with `script` as FeltrixInit.lj when given.
RunResult render(const TempDir& dir, std::vector<std::string> arguments, const std::string& script = {}) {
    if (!script.empty()) dir.write("FeltrixInit.lj", script);
    return runProgram(FELTRIX_RENDER, {std::move(arguments), dir.path(), {}, false, {}, std::chrono::seconds(120)});
}

// A recording with leftAlphaValue = value at each time.
void writeRecording(const std::string& path, const std::vector<std::pair<double, int>>& rows) {
    eegsim::TickRecorder recorder;
    std::string error;
    recorder.open(path, error);
    eegsim::HostFrame frame;
    std::uint64_t tick = 0;
    for (const auto& [seconds, value] : rows) {
        frame.band[0][eegsim::Alpha][eegsim::Value] = static_cast<std::int16_t>(value);
        recorder.write(++tick, seconds, frame);
    }
    recorder.close();
}

// A mono 48 kHz WAV file holding the constant `value`.
void writeConstantWav(const std::string& path, float value, int frames) {
    SF_INFO info{0, 48000, 1, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 0, 0};
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    const std::vector<float> samples(static_cast<std::size_t>(frames), value);
    sf_writef_float(file, samples.data(), frames);
    sf_close(file);
}

// Catches a clock drifting from k x interval, an interval change not re-timing the next cycle, frames
// per cycle rounded differently, output-rate mistakes: a 1 s slide spans its cycle's second.
TEST(Render, VirtualClockIsExact) {
    // intervals: a Lua table of the interval per cycle from the init script on; slideStart in seconds.
    const struct { const char* what; int rate; const char* intervals; int slideCycle; double slideStart; } cases[] = {
        {"50 ms, cycle 10", 48000, "{0.05}", 10, 0.5},
        {"50 ms at 44.1 kHz", 44100, "{0.05}", 10, 0.5},
        {"100 ms, then 30 ms from cycle 2", 48000, "{0.1, [2] = 0.03}", 5, 0.29},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        writeConstantWav(dir.file("half.wav"), 0.5f, 48000);
        const std::string script =
            std::string("local intervals, cycle = ") + c.intervals + ", 0 setUpdateInterval(intervals[1])\n" +
            "local channel = loadWav('half.wav') slideAudioChannelPanning(channel, 0, 0)\n"
            "function FeltrixUpdateCallback() if intervals[cycle] then setUpdateInterval(intervals[cycle]) end\n"
            "  if cycle == " + std::to_string(c.slideCycle) + " then slideAudioChannelVolume(channel, 1, 1) end\n"
            "  cycle = cycle + 1 end\n";
        const RunResult run =
            render(dir, {"--out", "clock.wav", "--seconds", "2", "--rate", std::to_string(c.rate)}, script);
        ASSERT_EQ(run.exitCode, 0) << run.err;
        const Sound sound = readSound(dir.file("clock.wav"));
        ASSERT_EQ(sound.size(), static_cast<std::size_t>(2 * c.rate));
        const auto left = [&](std::size_t i) { return sound.frames[2 * i]; };
        std::size_t start = 0, end = 0;
        while (start < sound.size() && left(start) == 0.0f) ++start;
        // The end: within half a frame's step of the final level.
        const float full = left(sound.size() - 1), halfStep = 0.5f * full / static_cast<float>(c.rate);
        for (end = start; end < sound.size() && std::fabs(left(end) - full) > halfStep;) ++end;
        EXPECT_NEAR(static_cast<double>(start), c.slideStart * c.rate, 1.0);
        EXPECT_NEAR(static_cast<double>(end), c.slideStart * c.rate + c.rate, 1.0);
    }
}

// Catches rows published early, skipped or losing to an earlier one of their time, tryLoadQuenterra
// unbound on replay, a replay length other than its last row's time, an exit() losing the file.
TEST(Render, ValuesSeenByTheScript) {
    TempDir dir;
    // Irregular times, a gap (0.14 .. 0.5) and two rows of the same time.
    writeRecording(dir.file("session.csv"), {{0.05, 1}, {0.13, 2}, {0.14, 3}, {0.5, 4}, {0.5, 5}, {0.62, 6}});
    const std::string script = "print(pcall(tryLoadQuenterra)) print(quenterraConnected) local seen = {}\n"
                               "function FeltrixUpdateCallback() seen[#seen + 1] = leftAlphaValue\n"
                               "  if #seen == 8 then print(table.concat(seen, ' ')) exit() end end\n";
    const struct { std::vector<std::string> arguments; std::string output; std::size_t frames; } cases[] = {
        {{"--replay", "session.csv", "--seconds", "1", "--out", "values.wav"},
         "true\ntrue\n0 1 3 3 3 5 5 6\n", 33600},
        {{"--replay", "session.csv", "--out", "values.wav"}, "true\ntrue\n", 29760},
        {{"--seconds", "1", "--out", "values.wav"},
         "false\t" + std::string(kBindingTexts.loadFailed) + "\nfalse\n0 0 0 0 0 0 0 0\n", 33600},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.output);
        const RunResult run = render(dir, c.arguments, script);
        ASSERT_EQ(run.exitCode, 0) << run.err;
        EXPECT_EQ(run.out, c.output);
        EXPECT_EQ(readSound(dir.file("values.wav")).size(), c.frames);
    }
}

// Catches errors unnamed, without file and line, with exit code 0, or leaving a partial or temporary file.
TEST(Render, ErrorsAreOneLineAndExitCode1) {
    TempDir dir;
    writeRecording(dir.file("backwards.csv"), {{0.1, 1}, {0.3, 2}, {0.2, 3}});
    const std::vector<std::string> plain = {"--seconds", "1", "--out", "out.wav"};
    const struct { std::vector<std::string> arguments; const char* script; std::string message; } cases[] = {
        {{"--bogus"}, "", "unknown option --bogus (see --help)"},
        {plain, "local x = 1\nerror('broken')\n", "FeltrixInit.lj:2: broken"},
        {plain, "function FeltrixUpdateCallback()\n  local t = nil\n  t.x = 1\nend\n",
         "error in a callback: FeltrixInit.lj:3: attempt to index local 't' (a nil value)"},
        {{"--replay", "backwards.csv", "--out", "out.wav"}, "",
         "\"backwards.csv\", line 4: the time goes back (rows must be in time order)"},
        {{"--seconds", "1", "--out", "no/folder/out.wav"}, "",
         "cannot write \"" + dir.file("no/folder/out.wav") + "\": No such file or directory"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        const RunResult run = render(dir, c.arguments, c.script);
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_EQ(run.err, "feltrix-render: " + c.message + "\n");
        EXPECT_FALSE(std::filesystem::exists(dir.file("out.wav")));
    }
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
        EXPECT_EQ(entry.path().string().find(".saving-"), std::string::npos) << entry.path();
}

// Catches output depending on thread timing, session length or time of writing, and a demo not
// following the EEG: Alpha over its threshold for 1 s or more must be louder than under it.
TEST(Render, DemoIsTheSameOnEveryRunAndFollowsAlpha) {
    TempDir dir;
    const std::string demo = std::string(FELTRIX_BINARY_DIR) + "/demo/FeltrixInit.lj";
    for (const auto& [time, out] :
         {std::pair{"60", "long.wav"}, {"10", "short.wav"}, {"3", "a.flac"}, {"3", "b.flac"}}) {
        const RunResult run = render(dir, {"--script", demo, "--synthetic", "--seed", "1", "--seconds", time,
                                           "--out", dir.file(out)});
        EXPECT_EQ(run.exitCode, 0) << run.err;
    }
    EXPECT_TRUE(readFile(dir.file("a.flac")) == readFile(dir.file("b.flac")));
    EXPECT_EQ(readSound(dir.file("a.flac")).size(), 3u * 48000u);
    const Sound sound = readSound(dir.file("long.wav")), start = readSound(dir.file("short.wav"));
    ASSERT_EQ(sound.size(), 60u * 48000u);
    ASSERT_EQ(start.size(), 10u * 48000u);
    EXPECT_TRUE(std::equal(start.frames.begin(), start.frames.end(), sound.frames.begin()));
    // The demo's rule, cycle by cycle (every 100 ms): Alpha over the mean of
    // the two sides' thresholds.
    render::SyntheticValues values(eegsim::SyntheticConfig{}, eegsim::AnalysisConfig{});
    std::string error;
    double louder[2] = {0.0, 0.0};
    int counted[2] = {0, 0}, held = 0, wasAbove = 0;
    for (int cycle = 0; cycle < 599; ++cycle) {
        values.advanceTo(cycle * 100000, error);
        const auto& b = values.frame().band;
        const auto mean = [&](int f) { return (b[0][eegsim::Alpha][f] + b[1][eegsim::Alpha][f]) / 2.0; };
        const double alpha = mean(eegsim::Value), threshold = mean(eegsim::Threshold);
        const int above = threshold > 0 && alpha > threshold;
        held = above == std::exchange(wasAbove, above) ? held + 1 : 0;
        if (held < 10 || threshold <= 0 || values.frame().artifact != 0) continue;
        const auto from = sound.frames.begin() + (cycle + 1) * 9600;  // 4800 frames of the next cycle
        louder[above] += std::sqrt(std::inner_product(from, from + 9600, from, 0.0) / 9600.0);
        ++counted[above];
    }
    ASSERT_GT(counted[0], 20);
    ASSERT_GT(counted[1], 20);
    EXPECT_GT(louder[1] / counted[1], 1.5 * louder[0] / counted[0]);
}

}  // namespace
}  // namespace feltrix::testing
