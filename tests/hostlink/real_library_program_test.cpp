// The program binding the real libpelgrin32.so found beside it, while a
// second process writes host variables through the same library: what the
// writer stores is what the script's update callbacks see from then on.
// (Which index feeds which global, and the 16-bit conversion, are checked
// without the program in host_variables_test and host_publication_test.)
#include <gtest/gtest.h>

#include <string>

#include "tests/support/test_area_name.h"
#include "tests/support/test_support.h"

using namespace feltrix::testing;

TEST(RealLibrary, ScriptSeesWhatAnotherProcessWritesWhileItRuns) {
    const TestAreaName area{"hostlink"};
    const TempDir dir;
    // leftThetaValue (index 2) is written last: the cycle after the one that
    // sees it reads the value written before it.
    const RunOptions options = feltrixOptions(dir, R"(
setUpdateInterval(0.01)
tryLoadQuenterra()
print("connected", quenterraConnected)
local seen = false
function FeltrixUpdateCallback()
  if seen then
    print("values", leftAlphaValue, rightResrvMode, artifact)
    exit()
  end
  seen = leftThetaValue == 555
end
)");
    BackgroundProgram program(feltrixBinary(), options, dir.file("out.txt"));
    ASSERT_TRUE(waitFor([&] { return readFile(dir.file("out.txt")).find("connected") != std::string::npos; }));
    RunOptions writer;
    writer.arguments = {"write", "3", "1234", "201", "-300", "1616", "1", "2", "555"};
    const RunResult written = runProgram(PELGRIN32_CLIENT, writer);
    EXPECT_EQ(written.exitCode, 0) << written.out << written.err;

    EXPECT_EQ(program.stop(0, std::chrono::seconds(20)), 0);
    EXPECT_EQ(scriptOutput(readFile(dir.file("out.txt"))), "connected\ttrue\nvalues\t1234\t-300\ttrue\n");
}
