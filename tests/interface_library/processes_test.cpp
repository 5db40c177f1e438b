// Pelgrin32 as other programs use it: separate client processes, a race to
// create the area and a client in another language.
#include <gtest/gtest.h>

#include <thread>

#include "tests/interface_library/test_area.h"
#include "tests/support/test_area_name.h"
#include "tests/support/test_support.h"

namespace pelgrin32::testing {
namespace {

using namespace feltrix::testing;

RunResult run(const std::string& program, std::vector<std::string> arguments, RunOptions options = {}) {
    options.arguments = std::move(arguments);
    return runProgram(program, options);
}
RunResult client(std::vector<std::string> arguments) { return run(PELGRIN32_CLIENT, std::move(arguments)); }
// A tool found on PATH (exit code 127 when there is none).
RunResult tool(std::vector<std::string> arguments, RunOptions options = {}) {
    return run("/usr/bin/env", std::move(arguments), std::move(options));
}

TEST(Pelgrin32Processes, EveryExportReturnsItsNotAttachedValueAndTouchesNothing) {
    const TestAreaName name{"pelgrin32"};
    const RunResult r = client({"unattached"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "-1 -1 -1 -1 0 0 0 0 0 0 0 0 42 0\n");
    EXPECT_FALSE(name.exists());  // no area was made
}

TEST(Pelgrin32Processes, OneProcessCreatesAndWritesAnotherOpensAndReads) {
    const TestAreaName name{"pelgrin32"};
    const std::string ext = std::to_string(extended(1, 0, 2, 3, 0));
    const RunResult writer = client({"write", "17", "70000", "1616", "-3", ext, "-123456", "1793", "1234"});
    ASSERT_EQ(writer.exitCode, 0) << writer.out << writer.err;
    EXPECT_EQ(writer.out, "70000\n-3\n-123456\n1234\n");
    const std::string word3 = std::to_string(extended(5, 0, 0, 0, 3));  // field 0: the word itself
    const RunResult reader = client({"read", "17", "1616", ext, "3", word3, "1793"});
    ASSERT_EQ(reader.exitCode, 0) << reader.out << reader.err;
    // Word 3 mirrors the low 16 bits of the value (0xFFFE1DC0).
    EXPECT_EQ(reader.out, "70000\n-3\n-123456\n-123456\n7616\n1234\n");
}

TEST(Pelgrin32Processes, TwoProcessesCreatingAtOnceShareOneLaidOutArea) {
    for (int round = 0; round < 12; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        const TestAreaName name{"pelgrin32"};
        // Threshold of band 1 of channel records 0 and 1, reached through the
        // area's tables: each process waits until it sees the other's value.
        RunResult partner;
        std::thread other([&] { partner = client({"meet", "145", "222", "17", "111"}); });
        const RunResult r = client({"meet", "17", "111", "145", "222"});
        other.join();
        ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
        ASSERT_EQ(partner.exitCode, 0) << partner.out << partner.err;
        // Laid out once and completely: only the written fields and words differ.
        const auto diff = differences(name.snapshot(), expectedAfterMeeting(111, 222));
        EXPECT_TRUE(diff.empty()) << diff.size() << " bytes differ, the first at offset " << diff.front();
    }
}

TEST(Pelgrin32Processes, PythonCtypesClientReadsAndWritesWhatCppProcessesDo) {
    const TestAreaName name{"pelgrin32"};
    const std::int32_t real = extended(1, 0, 21, 2, 0);
    ASSERT_EQ(client({"write", "17", "4242", std::to_string(real), "25"}).out, "4242\n25\n");  // 2.5 in tenths
    RunOptions options;
    if (std::string(PELGRIN32_PRELOAD).size() > 0) {  // an instrumented library needs its runtime first
        options.environment["LD_PRELOAD"] = PELGRIN32_PRELOAD;
        options.environment["ASAN_OPTIONS"] = "detect_leaks=0";
    }
    const RunResult r = tool({"python3", PELGRIN32_CTYPES_SCRIPT, PELGRIN32_LIBRARY, std::to_string(real)}, options);
    if (r.exitCode == 127) GTEST_SKIP() << "python3 is not installed";
    ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
    EXPECT_EQ(r.out, "17 4242\nreal 2.5\nwrite -321\nfn 42\n");
    EXPECT_EQ(client({"read", "18"}).out, "-321\n");
}

}  // namespace
}  // namespace pelgrin32::testing
