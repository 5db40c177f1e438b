// The bundled demo script and the examples, run by the program against the EEG stand-in: no script
// error, EEG read through the link, the calm loop following it; the demo's settings files.
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

// Runs `script` on a copy of the demo folder, the file dialogs answering `answers` in turn.
RunResult runDemoMenus(const TempDir& dir, const char* script, const std::vector<std::string>& answers) {
    copyDemoFolder(dir);
    std::string lines;
    for (const std::string& answer : answers) lines += answer + "\n";
    RunOptions options;
    const TestAreaName area("demo-menus");
    options.environment["PELGRIN32_AREA_NAME"] = area.name();
    options.environment["FELTRIX_DIALOG_ANSWERS"] = dir.write("answers.txt", lines);
    return runFeltrix(dir, script, options);
}

// The panel is changed through the window's callback, saved, changed again and loaded back; then a
// file without the header is refused and a failed save is shown.
const char* kSaveAndLoad = R"(
dofile("demo_under_test.lj")
local update, c, s = FeltrixUpdateCallback, DemoSession.controls, DemoSession.settings
local function move(item, position, name)
  if name then selectDropdownListItemInternal(item, position) else setSliderPositionInternal(item, position) end
  FeltrixGuiMessageCallback(item, name or position)
end
local function show(label)
  print(string.format("%s master=%.3f scale=%.3f calm=%s theta=%s chime=%s soundscape=%s selected=%d channels=%d",
    label, s.masterVolume, s.thresholdScale, tostring(s.calmLayer), tostring(s.thetaLayer),
    tostring(s.chimeLayer), s.soundscape, getDropdownListSelectionInternal(c.soundscapeList), getChannelCount()))
end
local cycles = 0
function FeltrixUpdateCallback()
  update() cycles = cycles + 1
  if cycles ~= 3 then return end
  move(c.masterSlider, 300) move(c.scaleSlider, 750) checkCheckboxInternal(c.thetaBox, false)
  move(c.soundscapeList, 1, "Ocean")
  show("saved") FeltrixSaveConfig()
  move(c.masterSlider, 900) move(c.scaleSlider, 100)
  checkCheckboxInternal(c.thetaBox, true) checkCheckboxInternal(c.chimeBox, false)
  move(c.soundscapeList, 0, "Calm pads")
  show("changed") FeltrixLoadConfig()
  show("loaded") FeltrixLoadConfig()
  show("after refusal") FeltrixSaveConfig()  -- into a folder that does not exist
  show("after failed save")
  exit()
end
)";

TEST(DemoConfiguration, LoadingRestoresSlidersCheckBoxesAndSoundscape) {
    TempDir dir;
    const std::string saved = dir.file("session.fxc");
    const std::string headerless = dir.write("plain.fxc", "return { masterVolume = 0.1 }\n");
    const RunResult result = runDemoMenus(dir, kSaveAndLoad, {saved, saved, headerless, dir.file("gone/s.fxc")});
    ASSERT_EQ(result.exitCode, 0) << result.out << result.err;

    const std::string expected =
        "master=0.300 scale=1.250 calm=true theta=false chime=true soundscape=Ocean selected=1";
    for (const char* step : {"saved ", "loaded ", "after refusal ", "after failed save "})
        EXPECT_NE(result.out.find(step + expected), std::string::npos) << step << result.out;
    EXPECT_NE(result.out.find("changed master=0.900 scale=0.600 calm=true theta=true chime=false soundscape=Calm"),
              std::string::npos);
    EXPECT_NE(result.err.find("invalid config file"), std::string::npos) << result.err;
    EXPECT_NE(result.err.find("The settings were not saved"), std::string::npos) << result.err;

    const std::string file = readFile(saved);
    EXPECT_EQ(file.rfind("-- Feltrix configuration file\n", 0), 0u) << file;
    EXPECT_NE(file.find("soundscape = \"Ocean\""), std::string::npos) << file;
}

}  // namespace
}  // namespace feltrix::testing
