// The bundled demo script and the examples, run by the program against the EEG stand-in: no script
// error, EEG read through the link, the calm loop following it.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "tests/support/sink_recorder.h"
#include "tests/support/test_area_name.h"
#include "tests/support/test_support.h"

namespace feltrix::testing {
namespace {

// feltrix-eegsim with synthetic EEG and a fixed seed, writing an area of its own until it goes.
struct StandIn {
    StandIn(unsigned seed, const std::vector<std::string>& options) {
        RunOptions run;
        run.arguments = {"--quiet", "--seed", std::to_string(seed)};
        run.arguments.insert(run.arguments.end(), options.begin(), options.end());
        program = std::make_unique<BackgroundProgram>(std::string(FELTRIX_BINARY_DIR) + "/bin/feltrix-eegsim", run);
    }
    TestAreaName area{"demo"};  // in this process's environment, so the stand-in inherits it
    std::unique_ptr<BackgroundProgram> program;
};

// A copy of build/demo in `dir`, the init script also as demo_under_test.lj for a wrapper to run.
void copyDemoFolder(const TempDir& dir) {
    std::filesystem::copy(std::string(FELTRIX_BINARY_DIR) + "/demo", dir.path(),
                          std::filesystem::copy_options::recursive | std::filesystem::copy_options::overwrite_existing);
    dir.write("demo_under_test.lj", readFile(dir.file("FeltrixInit.lj")));
}

// Runs the script under test's update callback, then `step`, until `done` (over `cycles` and `eeg`,
// the updates so far and those with EEG) holds or 600 updates ran; then prints whether it held, the
// link's state and `report`, and ends.
std::string wrapper(const std::string& step, const std::string& done, const std::string& report) {
    return "dofile('demo_under_test.lj')\n"
           "local update, cycles, eeg, steady = FeltrixUpdateCallback, 0, 0, 0\n"
           "function FeltrixUpdateCallback()\n"
           "  update() cycles = cycles + 1\n"
           "  if leftAlphaValue ~= 0 then eeg = eeg + 1 end\n"
           "  " + step + "\n"
           "  local held = " + done + "\n"
           "  if held or cycles == 600 then\n"
           "    print(string.format('held=%s connected=%s', tostring(held), tostring(quenterraConnected)))\n"
           "    " + report + " exit()\n"
           "  end\n"
           "end\n";
}

// The demo's calm loop (channels 0 and 1) swells while Alpha is over its threshold, rests under it and
// is ducked during an artifact; rewards (chimes) come only while Alpha is over.
struct ScriptCase {
    const char* name;
    const char* script;  // relative to the demo folder
    bool withStandIn;
    const char* status;                       // the demo's status line at the end, or nullptr
    std::vector<std::string> standInOptions;  // for the cases below:
    double calmVolume = -1.0;  // 0.8 master x (0.9 swell or 0.25 rest) x (0.15 ducked); -1: not checked
    bool rewarded = false;
};

void PrintTo(const ScriptCase& c, std::ostream* out) { *out << c.name; }

class DemoScripts : public ::testing::TestWithParam<ScriptCase> {};

TEST_P(DemoScripts, RunWithoutErrorAndFollowTheEeg) {
    const ScriptCase& c = GetParam();
    const bool follows = c.calmVolume >= 0.0;
    // Slides advance with the output stream, which needs a sound device.
    if (follows && !soundServerAvailable()) GTEST_SKIP() << "no sound server (PULSE_SERVER unset)";
    TempDir dir;
    copyDemoFolder(dir);
    std::unique_ptr<StandIn> standIn;
    const TestAreaName alone("demo-alone");
    RunOptions options;
    options.timeout = std::chrono::seconds(90);  // a bound: the wrapper ends the program
    options.environment["PELGRIN32_AREA_NAME"] = alone.name();
    if (c.withStandIn) {
        standIn = std::make_unique<StandIn>(follows ? 11 : 7, c.standInOptions);
        options.environment["PELGRIN32_AREA_NAME"] = standIn->area.name();
    }

    // Four seconds of updates, two with EEG; or, following the EEG, until the calm loop has held its
    // level for a second.
    if (std::string(c.script) != "FeltrixInit.lj") dir.write("demo_under_test.lj", readFile(dir.file(c.script)));
    char step[160] = "";
    std::string done = c.withStandIn ? "cycles >= 40 and eeg >= 20" : "cycles >= 40";
    if (follows) {
        std::snprintf(step, sizeof step,
                      "steady = math.abs(getCurrentAudioChannelVolume(0) - %.3f) < 0.02 and steady + 1 or 0",
                      c.calmVolume);
        done = std::string("eeg > 0 and steady >= 10 and (DemoSession.rewards() > 0) == ") +
               (c.rewarded ? "true" : "false");
    }
    const RunResult result = runFeltrix(
        dir, wrapper(step, done, "if DemoSession then print(string.format('status: %s calm=%.3f rewards=%d', "
                                 "DemoSession.status(), getCurrentAudioChannelVolume(0), DemoSession.rewards())) end"),
        options);

    EXPECT_FALSE(result.timedOut);
    EXPECT_EQ(result.exitCode, 0) << result.out << result.err;
    EXPECT_EQ(result.out.find("Lua error"), std::string::npos) << result.out;
    // Under automation a message box is a line on standard error: none in a normal run.
    EXPECT_EQ(result.err.find("Feltrix: "), std::string::npos) << result.err;
    // Held: the EEG arrived, and where followed the calm loop kept its level with the rewards expected.
    EXPECT_NE(result.out.find("held=true connected=true"), std::string::npos) << result.out;
    if (c.status != nullptr) {
        EXPECT_NE(result.out.find(std::string("status: ") + c.status), std::string::npos) << result.out;
    }
}

// (No blinks where an artifact would spoil the case.)
INSTANTIATE_TEST_SUITE_P(
    Scripts, DemoScripts,
    ::testing::Values(
        ScriptCase{"Demo", "FeltrixInit.lj", true, "Connected: the sound follows the EEG.", {}},
        ScriptCase{"DemoWithoutEeg", "FeltrixInit.lj", false, "Connected, but no EEG arrives", {}},
        ScriptCase{"Minimal", "examples/minimal.lua", true, nullptr, {}},
        ScriptCase{"AsymmetryPanning", "examples/asymmetry_panning.lua", true, nullptr, {}},
        ScriptCase{"RewardChime", "examples/reward_chime.lua", true, nullptr, {}},
        ScriptCase{"OverThreshold", "FeltrixInit.lj", true, nullptr, {"--threshold", "Alpha=1", "--blinks", "0"},
                   0.8 * 0.9, true},
        ScriptCase{"UnderThreshold", "FeltrixInit.lj", true, nullptr, {"--threshold", "Alpha=30000", "--blinks", "0"},
                   0.8 * 0.25, false},
        ScriptCase{"DuringAnArtifact", "FeltrixInit.lj", true, nullptr,
                   {"--threshold", "Alpha=1", "--artifact-limit", "0.01"}, 0.8 * 0.9 * 0.15, false}),
    [](const ::testing::TestParamInfo<ScriptCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace feltrix::testing
