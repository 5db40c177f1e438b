// The program with the real libpelgrin32.so from its own library folder and
// a second process writing host variables through the same library: what
// the writer stores is what the script's update callback sees.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tests/hostlink/program_copy.h"
#include "tests/hostlink/shared_area_name.h"
#include "tests/support/test_support.h"

using namespace feltrix::testing;

namespace {

std::string builtProgram() { return feltrixBinary(); }
std::string writerProgram() { return std::string(FELTRIX_BINARY_DIR) + "/bin/pelgrin_writer"; }

// Extended index of a band field: channel CH (1 = left), group 0, field F, band K.
std::string extended(int channel, int field, int band) {
    return std::to_string((channel << 24) | (field << 16) | (band << 8));
}

RunResult write(const TestAreaName& area, const std::vector<std::string>& pairs) {
    RunOptions options;
    options.arguments = {PELGRIN32_LIBRARY};
    options.arguments.insert(options.arguments.end(), pairs.begin(), pairs.end());
    options.environment["PELGRIN32_AREA_NAME"] = area.name();
    return runProgram(writerProgram(), options);
}

}  // namespace

TEST(RealLibrary, ScriptSeesWhatAnotherProcessWrote) {
    const TestAreaName area;
    std::vector<std::string> pairs = {
        "1=77",      "3=0x12345", "99=70000", "129=-1",     "201=1234",
        "254=-300",  "1616=256",  "1744=11",  "1775=65535", "1791=-7",
    };
    // Coher, DampedValue and Phase of the Resrv band (9) on both channels:
    // held by the host, never read by the program.
    for (int channel : {1, 2}) {
        for (int field : {12, 16, 13}) pairs.push_back(extended(channel, field, 9) + "=55");
    }
    const RunResult writer = write(area, pairs);
    ASSERT_EQ(writer.exitCode, 0) << writer.err;

    TempDir dir;
    RunOptions options;
    options.environment["PELGRIN32_AREA_NAME"] = area.name();
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
)",
                                   options);
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(withoutAudioDiagnostics(r.out),
              "connected\ttrue\n"
              "left\t77\t9029\t4464\t0\n"
              "right\t-1\t1234\t-300\t0\n"
              "events\ttrue\t11\t-1\t-7\t0\n"
              "never read\t0\t0\t0\t0\t0\t0\n");
}

TEST(RealLibrary, ValuesWrittenWhileTheProgramRunsReachTheNextCycles) {
    const TestAreaName area;
    TempDir dir;
    dir.write("FeltrixInit.lj", R"(
setUpdateInterval(0.01)
tryLoadQuenterra()
local cycles, last = 0, nil
function FeltrixUpdateCallback()
  cycles = cycles + 1
  if cycles == 1 then print("running", leftAlphaValue) end
  if leftAlphaValue ~= last then
    last = leftAlphaValue
    if last == 777 then print("seen", leftAlphaValue, leftBetaHits, artifact) exit() end
  end
  if cycles == 1000 then print("gave up") exit() end
end
)");
    // Read the program's lines as they come (its standard output is line
    // buffered), so the writer runs only once the program is running.
    const std::string command = "cd " + dir.path() + " && env QT_QPA_PLATFORM=offscreen FELTRIX_AUTOMATION=1" +
                                " XDG_CONFIG_HOME=" + dir.path() + "/config PELGRIN32_AREA_NAME=" + area.name() +
                                " " + builtProgram() + " 2>/dev/null";
    FILE* program = popen(command.c_str(), "r");
    ASSERT_NE(program, nullptr);
    std::vector<std::string> seen;
    char line[512];
    while (std::fgets(line, sizeof line, program) != nullptr) {
        if (std::string(line).find("PortAudio") != std::string::npos) continue;
        seen.emplace_back(line);
        if (seen.back().rfind("running", 0) == 0) {
            const RunResult writer = write(area, {"85=-2", "1616=1", "3=777"});
            EXPECT_EQ(writer.exitCode, 0) << writer.err;
        }
    }
    const int status = pclose(program);
    EXPECT_EQ(status, 0);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0], "running\t0\n");
    EXPECT_EQ(seen[1], "seen\t777\t-2\ttrue\n");
}
