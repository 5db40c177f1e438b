// The bundled demo script and the examples, run by the program against the EEG stand-in: no script
// error, and EEG read through the link.
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/support/test_area_name.h"
#include "tests/support/test_support.h"

namespace feltrix::testing {
namespace {

// feltrix-acquire with synthetic EEG and a fixed seed, writing an area of its own until it goes.
struct StandIn {
    TestAreaName area{"demo"};  // in this process's environment, so the stand-in inherits it
    BackgroundProgram program{std::string(FELTRIX_BINARY_DIR) + "/bin/feltrix-acquire", [] {
        RunOptions run;
        return run.arguments = {"--quiet", "--seed", "7"}, run;
    }()};
};

// Runs the script under test's update callback until four seconds of updates ran (two with EEG when
// `eeg` is expected) or 600 updates; then prints whether that held, the link's state and the demo's
// status line, and ends.
std::string wrapper(bool eeg) {
    return "dofile('demo_under_test.lj')\n"
           "local update, cycles, eeg = FeltrixUpdateCallback, 0, 0\n"
           "function FeltrixUpdateCallback()\n"
           "  update() cycles = cycles + 1\n"
           "  if leftAlphaValue ~= 0 then eeg = eeg + 1 end\n"
           "  local held = cycles >= 40" + std::string(eeg ? " and eeg >= 20" : "") + "\n"
           "  if held or cycles == 600 then\n"
           "    print(string.format('held=%s connected=%s', tostring(held), tostring(quenterraConnected)))\n"
           "    if DemoSession then print('status: ' .. DemoSession.status()) end\n"
           "    exit()\n"
           "  end\n"
           "end\n";
}

struct ScriptCase {
    const char* name;
    const char* script;  // relative to the demo folder
    bool withStandIn;
    const char* status;  // the demo's status line at the end, or nullptr
};

void PrintTo(const ScriptCase& c, std::ostream* out) { *out << c.name; }

class DemoScripts : public ::testing::TestWithParam<ScriptCase> {};

TEST_P(DemoScripts, RunWithoutErrorAndFollowTheEeg) {
    const ScriptCase& c = GetParam();
    TempDir dir;  // a copy of build/demo, the script under test also as demo_under_test.lj
    std::filesystem::copy(std::string(FELTRIX_BINARY_DIR) + "/demo", dir.path(),
                          std::filesystem::copy_options::recursive | std::filesystem::copy_options::overwrite_existing);
    dir.write("demo_under_test.lj", readFile(dir.file(c.script)));
    std::unique_ptr<StandIn> standIn;
    const TestAreaName alone("demo-alone");
    RunOptions options;
    options.timeout = std::chrono::seconds(90);  // a bound: the wrapper ends the program
    options.environment["PELGRIN32_AREA_NAME"] = alone.name();
    if (c.withStandIn) {
        standIn = std::make_unique<StandIn>();
        options.environment["PELGRIN32_AREA_NAME"] = standIn->area.name();
    }
    const RunResult result = runFeltrix(dir, wrapper(c.withStandIn), options);
    EXPECT_FALSE(result.timedOut);
    EXPECT_EQ(result.exitCode, 0) << result.out << result.err;
    EXPECT_EQ(result.out.find("Lua error"), std::string::npos) << result.out;
    // Under automation a message box is a line on standard error: none in a normal run.
    EXPECT_EQ(result.err.find("Feltrix: "), std::string::npos) << result.err;
    EXPECT_NE(result.out.find("held=true connected=true"), std::string::npos) << result.out;
    if (c.status != nullptr) {
        EXPECT_NE(result.out.find(std::string("status: ") + c.status), std::string::npos) << result.out;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Scripts, DemoScripts,
    ::testing::Values(ScriptCase{"Demo", "FeltrixInit.lj", true, "Connected: the sound follows the EEG."},
                      ScriptCase{"DemoWithoutEeg", "FeltrixInit.lj", false, "Connected, but no EEG arrives"},
                      ScriptCase{"Minimal", "examples/minimal.lua", true, nullptr},
                      ScriptCase{"AsymmetryPanning", "examples/asymmetry_panning.lua", true, nullptr},
                      ScriptCase{"RewardChime", "examples/reward_chime.lua", true, nullptr},
                      ScriptCase{"OscSynth", "examples/osc_synth.lua", true, nullptr}),
    [](const ::testing::TestParamInfo<ScriptCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace feltrix::testing
