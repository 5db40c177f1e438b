// The library file itself (ELF): what it exports and what it needs.
#include <gtest/gtest.h>

#include <set>

#include "tests/support/test_support.h"

namespace pelgrin32::testing {
namespace {

using namespace feltrix::testing;

// A tool found on PATH.
RunResult tool(std::vector<std::string> arguments) {
    RunOptions options;
    options.arguments = std::move(arguments);
    return runProgram("/usr/bin/env", options);
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
