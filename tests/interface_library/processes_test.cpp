// Pelgrin32 as other programs use it: separate client processes, a race to
// create the area, and the library file itself.
#include <gtest/gtest.h>

#include <set>

#include "tests/interface_library/test_area.h"
#include "tests/support/test_area_name.h"
#include "tests/support/test_support.h"

namespace pelgrin32::testing {
namespace {

using namespace feltrix::testing;

RunResult run(const std::string& program, std::vector<std::string> arguments) {
    RunOptions options;
    options.arguments = std::move(arguments);
    return runProgram(program, options);
}
RunResult client(std::vector<std::string> arguments) { return run(PELGRIN32_CLIENT, std::move(arguments)); }
// A tool found on PATH.
RunResult tool(std::vector<std::string> arguments) { return run("/usr/bin/env", std::move(arguments)); }

TEST(Pelgrin32Processes, EveryExportReturnsItsNotAttachedValueAndTouchesNothing) {
    const TestAreaName name{"pelgrin32"};
    const RunResult r = client({"unattached"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "-1 -1 -1 -1 0 0 0 0 0 0 0 0 42 0\n");
    EXPECT_FALSE(name.exists());  // no area was made
}

TEST(Pelgrin32Processes, TwoProcessesCreatingAtOnceShareOneLaidOutArea) {
    for (int round = 0; round < 12; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        const TestAreaName name{"pelgrin32"};
        // Threshold of band 1 of channel records 0 and 1, reached through the
        // area's tables: each process waits until it sees the other's value.
        const RunResult r = client({"race", "17", "111", "145", "222"});
        ASSERT_EQ(r.out, "0 0\n") << r.err;
        // Laid out once and completely: only the written fields and words differ.
        auto expected = expectedFreshLayout();
        const std::int32_t values[] = {111, 222};
        for (int c = 0; c < 2; ++c) {
            std::memcpy(&expected[hostWord(17 + 128 * c)], &values[c], 2);
            std::memcpy(&expected[bandRecord(c, 1) + kThreshold], &values[c], 4);
        }
        const auto diff = differences(name.snapshot(), expected);
        EXPECT_TRUE(diff.empty()) << diff.size() << " bytes differ, the first at offset " << diff.front();
    }
}

TEST(Pelgrin32Library, ExportsExactlyTheSixteenNamesWithCLinkage) {
    const RunResult r = tool({"nm", "-D", "--defined-only", PELGRIN32_LIBRARY});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    std::set<std::string> names;
    for (const std::string& line : lines(r.out))
        if (!line.empty()) names.insert(line.substr(line.rfind(' ') + 1));
    const std::set<std::string> expected = {"Open", "OpenB", "OpenL", "OpenL16", "DllCFunc", "DllCF16",
                                            "DllPeek", "DllPoke", "EDllPeek", "EDllPoke", "EDllDblPeek",
                                            "EDllDblPoke", "EDllCRead", "EDllCWrite", "fnTuskExtDll", "nTuskExtDll"};
    EXPECT_EQ(names, expected);
}

TEST(Pelgrin32Library, DependsOnNothingOfThisSystem) {
    const RunResult r = tool({"readelf", "-d", PELGRIN32_LIBRARY});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    int needed = 0;
    for (const std::string& line : lines(r.out)) {
        if (line.find("(NEEDED)") == std::string::npos) continue;
        ++needed;
        const std::string library = line.substr(line.find('[') + 1);
        bool runtime = false;  // the C and C++ runtimes (and a sanitizer's) only
        for (const char* prefix :
             {"libc.", "libstdc++", "libgcc_s", "libm.", "ld-linux", "libasan", "libubsan", "libtsan"})
            runtime = runtime || library.rfind(prefix, 0) == 0;
        EXPECT_TRUE(runtime) << library;
    }
    EXPECT_GT(needed, 0);
}

}  // namespace
}  // namespace pelgrin32::testing
