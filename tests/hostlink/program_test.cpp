// The program binding the real library beside it and reading what a writer process (this test,
// as the acquisition application) put in the area; and a copy of the program without the library.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "interface_library/pelgrin32.h"
#include "tests/support/test_area_name.h"
#include "tests/support/test_support.h"

using namespace feltrix::testing;

namespace {

constexpr const char* kBindAndPrint =
    "local ok, e = pcall(tryLoadQuenterra)\n"
    "print(ok, e, quenterraConnected)\n"
    "function FeltrixUpdateCallback() print(leftAlphaValue, rightThetaThreshold, artifact) exit() end";

TEST(HostLinkProgram, ProgramReadsWhatTheWriterProcessWrote) {
    const TestAreaName area{"hostlink"};
    ASSERT_NE(Open("writer"), nullptr);
    // Left Alpha Value, right Theta Threshold, artifact.
    DllCFunc(-3, 1234), DllCFunc(-(128 + 18), -77), DllCFunc(-1616, 1);
    TempDir dir;
    const RunResult r = runFeltrix(dir, kBindAndPrint);
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(scriptOutput(r.out), "true\tnil\ttrue\n1234\t-77\ttrue\n");
}

TEST(HostLinkProgram, WithoutTheLibraryTheScriptGetsTheLoadError) {
    TempDir dir;
    const std::string copy = dir.file(std::filesystem::path(feltrixBinary()).filename().string());
    std::filesystem::copy_file(feltrixBinary(), copy);
    dir.write("FeltrixInit.lj", kBindAndPrint);
    const RunResult r = runProgram(copy, {{}, dir.path(), {{"FELTRIX_AUTOMATION", "1"}}, false, {}, std::chrono::seconds(20)});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    const std::string out = scriptOutput(r.out);
    EXPECT_EQ(out.substr(out.find(' ')),
              " could not be loaded. Make sure Quenterra is installed on your system.\tfalse\n0\t0\tfalse\n");
    EXPECT_EQ(out.rfind("false\t", 0), 0u) << out;
}

}  // namespace
