// The program with the real libpelgrin32.so and a second process writing
// host variables through the same library while the program runs: what the
// writer stores is what the script's update callbacks see from then on.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/test_area_name.h"
#include "tests/support/test_support.h"

using namespace feltrix::testing;

TEST(RealLibrary, ScriptSeesWhatAnotherProcessWritesWhileItRuns) {
    const TestAreaName area{"hostlink"};
    const TempDir dir;
    // leftThetaValue (index 2) is written last: the cycle after the one that
    // sees it reads every other value written before it.
    const RunOptions options = feltrixOptions(dir, R"(
setUpdateInterval(0.01)
tryLoadQuenterra()
print("connected", quenterraConnected)
local seen = false
function FeltrixUpdateCallback()
  if seen then
    print("left", leftDeltaValue, leftAlphaValue, leftAlphaMean, leftBetaHits)
    print("right", rightDeltaValue, rightResrvMode, rightResrvPeakFrequency, rightAlphaValue)
    print("events", artifact, event1ValA, event16ValB, event16Flag, event2ValA)
    print("never read", leftResrvCoher, leftResrvDampedValue, leftResrvPhase,
          rightResrvCoher, rightResrvDampedValue, rightResrvPhase)
    exit()
  end
  seen = leftThetaValue == 555
end
)");
    BackgroundProgram program(feltrixBinary(), options, dir.file("out.txt"));
    ASSERT_TRUE(waitFor([&] { return readFile(dir.file("out.txt")).find("connected") != std::string::npos; }));

    RunOptions writer;
    writer.arguments = {"write", "1",    "77",   "3",    "0x12345", "99",   "70000", "85",   "-2",   "129",
                        "-1",    "201",  "1234", "254",  "-300",    "1616", "256",   "1744", "11",   "1775",
                        "65535", "1791", "-7"};
    // Coher, DampedValue and Phase of the Resrv band (9) on both channels:
    // held by the host, never read by the program.
    for (int channel : {1, 2})
        for (int field : {12, 16, 13})
            writer.arguments.insert(writer.arguments.end(), {std::to_string(channel << 24 | field << 16 | 9 << 8), "55"});
    writer.arguments.insert(writer.arguments.end(), {"2", "555"});
    const RunResult written = runProgram(PELGRIN32_CLIENT, writer);
    EXPECT_EQ(written.exitCode, 0) << written.out << written.err;

    EXPECT_EQ(program.stop(0, std::chrono::seconds(20)), 0);
    EXPECT_EQ(scriptOutput(readFile(dir.file("out.txt"))),
              "connected\ttrue\n"
              "left\t77\t9029\t4464\t-2\n"
              "right\t-1\t1234\t-300\t0\n"
              "events\ttrue\t11\t-1\t-7\t0\n"
              "never read\t0\t0\t0\t0\t0\t0\n");
}
