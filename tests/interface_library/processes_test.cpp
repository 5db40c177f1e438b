// Pelgrin32 as other programs use it: separate client processes, and a race
// to create the area.
#include <gtest/gtest.h>

#include <thread>

#include "tests/interface_library/test_area.h"
#include "tests/support/test_area_name.h"
#include "tests/support/test_support.h"

namespace pelgrin32::testing {
namespace {

using namespace feltrix::testing;

RunResult client(std::vector<std::string> arguments) {
    RunOptions options;
    options.arguments = std::move(arguments);
    return runProgram(PELGRIN32_CLIENT, options);
}

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
        RunResult partner;
        std::thread other([&] { partner = client({"meet", "145", "222", "17", "111"}); });
        const RunResult r = client({"meet", "17", "111", "145", "222"});
        other.join();
        ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
        ASSERT_EQ(partner.exitCode, 0) << partner.out << partner.err;
        // Laid out once and completely: only the written fields and words differ.
        EXPECT_TRUE(sameBytes(name.snapshot(), expectedAfterMeeting(111, 222)));
    }
}

}  // namespace
}  // namespace pelgrin32::testing
