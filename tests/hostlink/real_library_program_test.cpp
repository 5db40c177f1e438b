// The program with the real libpelgrin32.so and a second process writing
// host variables through the same library: what the writer stores is what
// the script's update callback sees.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tests/support/test_area_name.h"
#include "tests/support/test_support.h"

using namespace feltrix::testing;

namespace {

// Writes each INDEX, VALUE pair with DllCFunc(-INDEX, VALUE) from a process of its own.
void write(std::vector<std::string> pairs) {
    RunOptions options;
    options.arguments = {"write"};
    options.arguments.insert(options.arguments.end(), pairs.begin(), pairs.end());
    const RunResult r = runProgram(PELGRIN32_CLIENT, options);
    EXPECT_EQ(r.exitCode, 0) << r.out << r.err;
}

}  // namespace

TEST(RealLibrary, ScriptSeesWhatAnotherProcessWrote) {
    const TestAreaName area{"hostlink"};
    std::vector<std::string> pairs = {"1",    "77",  "3",    "0x12345", "99",   "70000", "129",  "-1",
                                      "201",  "1234", "254", "-300",    "1616", "256",   "1744", "11",
                                      "1775", "65535", "1791", "-7"};
    // Coher, DampedValue and Phase of the Resrv band (9) on both channels:
    // held by the host, never read by the program.
    for (int channel : {1, 2})
        for (int field : {12, 16, 13})
            pairs.insert(pairs.end(), {std::to_string(channel << 24 | field << 16 | 9 << 8), "55"});
    write(pairs);
    const TempDir dir;
    const RunResult r = runFeltrix(dir, R"(
tryLoadQuenterra()
print("connected", quenterraConnected)
function FeltrixUpdateCallback()
  print("left", leftDeltaValue, leftAlphaValue, leftAlphaMean, leftThetaValue)
  print("right", rightDeltaValue, rightResrvMode, rightResrvPeakFrequency, rightAlphaValue)
  print("events", artifact, event1ValA, event16ValB, event16Flag, event2ValA)
  print("never read", leftResrvCoher, leftResrvDampedValue, leftResrvPhase,
        rightResrvCoher, rightResrvDampedValue, rightResrvPhase)
  exit()
end
)");
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(scriptOutput(r.out),
              "connected\ttrue\n"
              "left\t77\t9029\t4464\t0\n"
              "right\t-1\t1234\t-300\t0\n"
              "events\ttrue\t11\t-1\t-7\t0\n"
              "never read\t0\t0\t0\t0\t0\t0\n");
}

TEST(RealLibrary, ValuesWrittenWhileTheProgramRunsReachTheNextCycles) {
    const TestAreaName area{"hostlink"};
    const TempDir dir;
    dir.write("FeltrixInit.lj", R"(
setUpdateInterval(0.01)
tryLoadQuenterra()
local cycles = 0
function FeltrixUpdateCallback()
  cycles = cycles + 1
  if cycles == 1 then print("running", leftAlphaValue) end
  if leftAlphaValue == 777 then print("seen", leftAlphaValue, leftBetaHits, artifact) exit() end
  if cycles == 1000 then print("gave up") exit() end
end
)");
    // Read the program's lines as they come (its standard output is line
    // buffered), so the writer runs only once the program is running.
    const std::string command = "cd " + dir.path() + " && QT_QPA_PLATFORM=offscreen FELTRIX_AUTOMATION=1" +
                                " XDG_CONFIG_HOME=" + dir.file("config") + " " + feltrixBinary() + " 2>/dev/null";
    FILE* program = popen(command.c_str(), "r");
    ASSERT_NE(program, nullptr);
    std::string seen;
    char line[512];
    while (std::fgets(line, sizeof line, program) != nullptr) {
        seen += line;
        if (std::string(line).rfind("running", 0) == 0) write({"85", "-2", "1616", "1", "3", "777"});
    }
    EXPECT_EQ(pclose(program), 0);
    EXPECT_EQ(scriptOutput(seen), "running\t0\nseen\t777\t-2\ttrue\n");
}
