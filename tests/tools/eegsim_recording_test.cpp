// Record then replay (the same frames, the same file again); broken
// recordings; the command line.
#include <gtest/gtest.h>

#include <vector>

#include "tests/support/test_support.h"
#include "tools/acquire/options.h"
#include "tools/acquire/session.h"
#include "tools/acquire/synthetic_source.h"
#include "tools/acquire/tick_recording.h"

using namespace eegsim;
using feltrix::testing::readFile;
using feltrix::testing::TempDir;

namespace {
struct Capture {
    std::vector<HostFrame> frames;
    std::vector<double> waits;
    SessionHooks hooks() {
        return {[this](const HostFrame& f) { frames.push_back(f); }, nullptr, [] { return 100.0; },
                [this](double when) { waits.push_back(when); }, nullptr};
    }
};
}  // namespace

TEST(Recording, ReplayPublishesTheRecordedFramesAtTheirTimes) {
    TempDir dir;
    Options options;
    options.synthetic.blinkTimes = {1.0};
    options.maxTicks = 100;
    options.speed = 2.0;
    options.recordPath = dir.file("first.csv");
    SyntheticSource source(options.synthetic);
    Capture recorded;
    SessionResult result = runSourceSession(source, options, recorded.hooks());
    ASSERT_TRUE(result.ok) << result.message;
    ASSERT_EQ(recorded.frames.size(), 100u);
    EXPECT_EQ(result.message, "finished");
    // Paced at twice real time: tick k waits for (k + 1) / 32 / 2 seconds.
    EXPECT_DOUBLE_EQ(recorded.waits[63], 100.0 + 1.0);
    Options replay;
    replay.replayPath = options.recordPath;
    replay.recordPath = dir.file("second.csv");
    replay.source = Options::Source::Replay;
    Capture replayed;
    result = runReplaySession(replay, replayed.hooks());
    ASSERT_TRUE(result.ok) << result.message;
    EXPECT_EQ(result.message, "end of the recording");
    EXPECT_TRUE(replayed.frames == recorded.frames);
    EXPECT_TRUE(recorded.frames[40].artifact);  // the blink made it into the recording
    EXPECT_DOUBLE_EQ(replayed.waits[63], 100.0 + 2.0);  // its own pace: 64 / 32 s
    EXPECT_EQ(readFile(dir.file("second.csv")), readFile(dir.file("first.csv")));
}

TEST(Recording, BrokenRecordingsAreReportedWithTheirLine) {
    TempDir dir;
    const std::string header = recordingHeader();
    std::string row = "0,0.031250";
    for (std::size_t i = 0; i < hostSlots().size(); ++i) row += ",7";
    const std::pair<std::string, std::string> cases[] = {  // content, what the message says
        {"tick,seconds\n", "not a recording"},
        {header + "\n" + row + "\n0,0.06\n", "line 3: too few values"},
        {header + "\n" + row + ",8\n", "line 2: too many values"},
        {header + "\n" + row.substr(0, row.size() - 1) + "40000\n", "line 2: a value is not a signed 16-bit"},
    };
    for (const auto& [content, mention] : cases) {
        Options replay;
        replay.replayPath = dir.write("bad.csv", content);
        const SessionResult result = runReplaySession(replay, Capture().hooks());
        EXPECT_FALSE(result.ok);
        EXPECT_NE(result.message.find(mention), std::string::npos) << result.message;
    }
}

TEST(Options, ParsesWhatItDocumentsAndRejectsTheRest) {
    Options options;
    std::string error;
    ASSERT_TRUE(parseOptions({"--edf", "a.bdf", "--left", "C3", "--right", "C4", "--no-loop", "--speed", "4", "--rate",
                              "16", "--user", "13-15", "--threshold", "alpha=150", "--record", "r.csv"},
                             options, error)) << error;
    EXPECT_EQ(options.source, Options::Source::Edf);
    EXPECT_FALSE(options.edf.loop);
    EXPECT_EQ(options.analysis.tickRate, 16.0);
    EXPECT_EQ(options.analysis.bands[User].low, 13.0);
    EXPECT_EQ(options.analysis.fixedThreshold[Alpha].value_or(0), 150);
    const std::vector<std::vector<std::string>> bad = {
        {"--bogus"}, {"--rate"}, {"--rate", "0"}, {"--speed", "-1"}, {"--user", "12"}, {"--threshold", "Zeta=3"},
        {"--seed", "x"}, {"--edf", "a", "--replay", "b"}, {"--eyes", "5"}, {"--ticks", "1.5"}, {"stray"},
        // Numbers whose counts would overflow.
        {"--rate", "1e-300"}, {"--speed", "1e-300"}, {"--ticks", "1e30"}, {"--user", "1e300-1e301"},
    };
    for (const auto& arguments : bad) {
        Options fresh;
        std::string message;
        EXPECT_FALSE(parseOptions(arguments, fresh, message) || message.empty()) << arguments[0];
    }
}
