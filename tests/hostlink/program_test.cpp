// The program binding the real library beside it and reading what a writer process (this test,
// as the acquisition application) put in the area.
#include <gtest/gtest.h>

#include <string>

#include "interface_library/pelgrin32.h"
#include "tests/support/test_area_name.h"
#include "tests/support/test_support.h"

using namespace feltrix::testing;

namespace {

TEST(HostLinkProgram, ProgramReadsWhatTheWriterProcessWrote) {
    const TestAreaName area{"hostlink"};
    ASSERT_NE(Open("writer"), nullptr);
    // Left Alpha Value, right Theta Threshold, artifact.
    DllCFunc(-3, 1234), DllCFunc(-(128 + 18), -77), DllCFunc(-1616, 1);
    TempDir dir;
    const RunResult r = runFeltrix(dir, "local ok, e = pcall(tryLoadQuenterra) print(ok, e, quenterraConnected)\n"
                                        "function FeltrixUpdateCallback()\n"
                                        "  print(leftAlphaValue, rightThetaThreshold, artifact) exit() end");
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(scriptOutput(r.out), "true\tnil\ttrue\n1234\t-77\ttrue\n");
}

}  // namespace
