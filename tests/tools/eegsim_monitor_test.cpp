// feltrix-acquire --monitor as a user runs it, beside a writer process (the stand-in replaying a
// recording) on a test area of its own: what it prints and records and when, that it never writes
// to the area, and that its recording renders as the writer's source does.
#include <gtest/gtest.h>
#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "hostlink/binding_texts.h"
#include "tests/support/test_area_name.h"
#include "tests/support/test_support.h"
#include "tools/acquire/monitor_view.h"
#include "tools/acquire/tick_recording.h"

using namespace eegsim;
using namespace feltrix::testing;

namespace {

// leftAlphaValue over time: the source's rows, a recording's rows, a plain output's lines.
using Steps = std::vector<std::pair<double, int>>;

Steps recordedAlpha(const std::string& path, std::string& error) {
    TickReplayer replayer;
    Steps steps;
    if (!replayer.open(path, error)) return steps;
    std::uint64_t tick = 0;
    double seconds = 0.0;
    HostFrame frame;
    while (replayer.next(tick, seconds, frame, error)) steps.push_back({seconds, frame.band[0][Alpha][Value]});
    return steps;
}

Steps printedAlpha(const std::string& text) {
    Steps steps;
    for (const std::string& line : lines(text)) {
        double seconds = 0.0;
        int value = 0;
        if (std::sscanf(line.c_str(), "%lf leftAlphaValue %d", &seconds, &value) == 2) steps.push_back({seconds, value});
    }
    return steps;
}

// When the value first became `value` (-1: never).
double firstTime(const Steps& steps, int value) {
    for (const auto& [seconds, v] : steps)
        if (v == value) return seconds;
    return -1.0;
}

class Monitor : public ::testing::Test {
protected:
    RunOptions options(std::vector<std::string> arguments) {
        return {std::move(arguments), dir_.path(), {}, false, {}, std::chrono::seconds(60)};
    }
    bool waitForOutput(const std::string& file, const std::string& text, std::chrono::seconds bound) {
        return waitFor([&] { return readFile(dir_.file(file)).find(text) != std::string::npos; }, bound);
    }
    // Renders `recording` with a script whose volume is leftAlphaValue / 1000 (set at once, every
    // 100 ms cycle); returns the left channel of the result.
    std::vector<float> render(const std::string& recording) {
        SF_INFO info{0, 48000, 1, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 0, 0};
        SNDFILE* file = sf_open(dir_.file("half.wav").c_str(), SFM_WRITE, &info);
        const std::vector<float> half(48000, 0.5f);
        sf_writef_float(file, half.data(), 48000);
        sf_close(file);
        dir_.write("FeltrixInit.lj", "tryLoadQuenterra() local channel = loadWav('half.wav')\n"
                                     "slideAudioChannelPanning(channel, 0, 0)\n"
                                     "function FeltrixUpdateCallback()\n"
                                     "  slideAudioChannelVolume(channel, leftAlphaValue / 1000, 0) end\n");
        const RunResult run = runProgram(FELTRIX_RENDER, options({"--replay", recording, "--out", "out.wav"}));
        EXPECT_EQ(run.exitCode, 0) << run.out << run.err;
        file = sf_open(dir_.file("out.wav").c_str(), SFM_READ, &info);
        std::vector<float> frames(static_cast<std::size_t>(info.frames) * 2), left;
        sf_readf_float(file, frames.data(), info.frames);
        sf_close(file);
        for (std::size_t i = 0; i < frames.size(); i += 2) left.push_back(frames[i]);
        return left;
    }
    // Each 100 ms cycle's level must be the same multiple of the leftAlphaValue the cycle saw.
    void expectLoudnessFollows(const std::vector<float>& left, const Steps& alpha) {
        ASSERT_GT(left.size(), 4800u * 20);
        double scale = 0.0;
        for (std::size_t cycle = 0; (cycle + 1) * 4800 < left.size(); ++cycle) {
            int seen = 0;
            for (const auto& [seconds, value] : alpha)
                if (std::llround(seconds * 1e6) <= static_cast<long long>(cycle) * 100000) seen = value;
            const float level = left[cycle * 4800 + 2400];
            if (seen != 0 && scale == 0.0) scale = level / seen;
            EXPECT_NEAR(level, scale * seen, 1e-4) << "cycle " << cycle;
        }
        EXPECT_GT(scale, 0.0);
    }

    TempDir dir_;
    TestAreaName area_{"monitor"};
};

// Catches a monitor that needs its writer first, misses or mistimes changes, loses rows, writes to the
// area (its attach or its reads), does not close its recording on Ctrl-C, or records in a form that
// renders differently from the source.
TEST_F(Monitor, WatchesAWriterThatComesAndGoesWithoutWriting) {
    // The writer's source: leftAlphaValue 100, 200 after 1.5 s, 300 with an artifact after 3 s.
    std::string source = recordingHeader() + "\n";
    const struct { double seconds; int alpha, artifact; } rows[] = {{0.0, 100, 0}, {1.5, 200, 0}, {3.0, 300, 1}};
    for (const auto& row : rows) {
        HostFrame frame;
        frame.band[0][Alpha][Value] = static_cast<std::int16_t>(row.alpha);
        frame.artifact = static_cast<std::int16_t>(row.artifact);
        source += recordingRow(0, row.seconds, frame);
    }
    dir_.write("source.csv", source);

    BackgroundProgram watching(EEGSIM_PROGRAM, options({"--monitor", "--plain", "--only", "leftAlphaValue,artifact",
                                                        "--record", "rec.csv"}), dir_.file("plain.txt"));
    ASSERT_TRUE(waitForOutput("plain.txt", "0.0 -- no writer has attached", std::chrono::seconds(20)));
    const RunResult writer = runProgram(EEGSIM_PROGRAM, options({"--replay", "source.csv", "--quiet"}));
    ASSERT_EQ(writer.exitCode, 0) << writer.out;
    ASSERT_TRUE(waitForOutput("plain.txt", "-- values have not changed for 2 s", std::chrono::seconds(20)));

    // A second monitor attaches and reads (its plain output is the default into a file) while the
    // first goes on: the area keeps every byte.
    const std::vector<std::uint8_t> before = area_.snapshot();
    ASSERT_EQ(before.size(), 4397440u);
    {
        BackgroundProgram second(EEGSIM_PROGRAM, options({"--monitor", "--only", "alpha"}), dir_.file("second.txt"));
        EXPECT_TRUE(waitForOutput("second.txt", "0.0 leftAlphaValue 300", std::chrono::seconds(20)));
        EXPECT_EQ(second.stop(SIGINT), 0);
    }
    EXPECT_TRUE(area_.snapshot() == before);
    EXPECT_EQ(watching.stop(SIGINT), 0);

    const std::string plain = readFile(dir_.file("plain.txt"));
    const Steps printed = printedAlpha(plain);
    ASSERT_EQ(printed.size(), 4u) << plain;
    EXPECT_EQ(printed[0], (std::pair<double, int>{0.0, 0}));
    const double printed100 = firstTime(printed, 100);
    for (const auto& [value, after] : {std::pair{200, 1.5}, {300, 3.0}})
        EXPECT_NEAR(firstTime(printed, value) - printed100, after, 1.0) << plain;  // whole seconds
    EXPECT_NE(plain.find(std::to_string(static_cast<int>(firstTime(printed, 300))) + ".0 artifact true"),
              std::string::npos) << plain;
    EXPECT_NE(plain.find("feltrix-acquire: stopped; \"rec.csv\" holds"), std::string::npos) << plain;

    std::string error;
    const Steps recorded = recordedAlpha(dir_.file("rec.csv"), error);
    ASSERT_EQ(error, "");
    ASSERT_GE(recorded.size(), 4u);
    EXPECT_EQ(recorded.front(), (std::pair<double, int>{0.0, 0}));
    const double recorded100 = firstTime(recorded, 100);
    for (const auto& [value, after] : {std::pair{200, 1.5}, {300, 3.0}})
        EXPECT_NEAR(firstTime(recorded, value) - recorded100, after, 0.2);
    for (std::size_t i = 1; i < recorded.size(); ++i) EXPECT_GE(recorded[i].second, recorded[i - 1].second);
    // The last row: when Ctrl-C came, after the 2 s without change.
    EXPECT_GT(recorded.back().first, firstTime(recorded, 300) + 2.0);

    const RunResult replay = runProgram(EEGSIM_PROGRAM, options({"--replay", "rec.csv", "--speed", "0", "--quiet"}));
    EXPECT_NE(replay.out.find("end of the recording after " + std::to_string(recorded.size()) + " updates"),
              std::string::npos) << replay.out;
    expectLoudnessFollows(render("rec.csv"), recorded);
    expectLoudnessFollows(render("source.csv"), recordedAlpha(dir_.file("source.csv"), error));
}

// Catches a missing library reported in other words than Feltrix's, options of the writer taken
// silently, and (Linux) a full disk that breaks the recording or stops the monitor.
TEST_F(Monitor, BadConditions) {
    const struct { std::vector<std::string> arguments; int exitCode; std::string mention; } cases[] = {
        {{"--monitor", "--library", "/none/library"}, 1, feltrix::kBindingTexts.loadFailed},
        {{"--monitor", "--seed", "3"}, 2, "--seed cannot be used with --monitor"},
        {{"--monitor", "--only", "alfa"}, 2, "--only: unknown word \"alfa\""},
    };
    for (const auto& c : cases) {
        const RunResult result = runProgram(EEGSIM_PROGRAM, options(c.arguments));
        EXPECT_EQ(result.exitCode, c.exitCode) << c.mention;
        EXPECT_NE(result.out.find(c.mention), std::string::npos) << result.out;
    }
#ifndef _WIN32
    // A file size limit stands in for the full disk: writes past it fail as they would.
    // (The writer makes the area first: growing it to its size would pass the limit too.)
    BackgroundProgram writer(EEGSIM_PROGRAM, options({"--quiet"}));
    ASSERT_TRUE(waitFor([&] { return area_.exists(); }));
    BackgroundProgram watching("/bin/sh", options({"-c", "trap '' XFSZ; ulimit -f 24; exec " +
                                                             std::string(EEGSIM_PROGRAM) +
                                                             " --monitor --only leftAlphaValue --record full.csv"}),
                               dir_.file("plain.txt"));
    ASSERT_TRUE(waitForOutput("plain.txt", "-- cannot write to \"full.csv\": File too large; the recording stops",
                              std::chrono::seconds(20)));
    // It goes on: values printed after the error.
    const std::size_t errorAt = readFile(dir_.file("plain.txt")).find("cannot write");
    EXPECT_TRUE(waitFor([&] { return readFile(dir_.file("plain.txt")).find("leftAlphaValue", errorAt) != std::string::npos; }));
    EXPECT_EQ(watching.stop(SIGINT), 0);
    std::string error;
    const Steps kept = recordedAlpha(dir_.file("full.csv"), error);
    EXPECT_EQ(error, "");
    EXPECT_GE(kept.size(), 1u);
    EXPECT_EQ(readFile(dir_.file("full.csv")).back(), '\n');
#endif
}

// Catches words combined the wrong way (a union of side, band and measure instead of their meet),
// names matched with their case, and the events' words reaching band measures.
TEST(MonitorSelection, WordsNarrowByKindAndAddByName) {
    const struct { const char* words; std::vector<std::string> shown; } cases[] = {
        {"left,ALPHA,value,threshold", {"leftAlphaValue", "leftAlphaThreshold"}},
        {"Resrv,Mode,artifact,event16,rightThetaMean",
         {"leftResrvMode", "rightResrvMode", "rightThetaMean", "artifact", "event16ValA", "event16ValB", "event16Flag"}},
    };
    for (const auto& c : cases) {
        monitor::Selection selection;
        std::string error;
        ASSERT_TRUE(monitor::parseSelection(c.words, selection, error)) << error;
        std::vector<std::string> shown;
        for (std::size_t i = 0; i < selection.size(); ++i)
            if (selection[i]) shown.push_back(monitor::variables()[i].name);
        std::sort(shown.begin(), shown.end());
        std::vector<std::string> expected = c.shown;
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(shown, expected) << c.words;
    }
}

// Catches a view wider or taller than its window (a terminal would wrap or scroll it), hidden lines
// not said, and a changed value not highlighted while an unchanged one is.
TEST(MonitorView, FitsItsWindowAndHighlightsChanges) {
    monitor::ChangeTracker tracker(10.0);
    monitor::HostVariableSnapshot values{};
    tracker.update(values, 10.0);
    values.bands[1][2].value = 321;  // rightAlphaValue
    tracker.update(values, 11.0);
    const auto lines = monitor::buildView(tracker, monitor::everything(), 11.5, {"title", "", ""}, 80, 24);
    ASSERT_EQ(lines.size(), 24u);
    int highlighted = 0;
    for (const auto& line : lines) {
        std::size_t width = 0;
        for (const auto& segment : line) {
            width += segment.text.size();
            if (segment.highlighted) highlighted += segment.text == "   321" ? 1 : 100;
        }
        EXPECT_LE(width, 79u);
    }
    EXPECT_EQ(highlighted, 1);
    EXPECT_NE(lines.back()[0].text.find("more lines"), std::string::npos);
}

}  // namespace
