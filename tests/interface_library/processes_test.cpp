// Pelgrin32 as other programs use it, in both builds: separate client
// processes, and a race to create the area.
#include <gtest/gtest.h>

#include <thread>

#include "tests/support/test_area_name.h"
#include "tests/support/test_support.h"

namespace {

using namespace feltrix::testing;

RunResult client(std::vector<std::string> arguments) {
    return runProgram(PELGRIN32_CLIENT, {std::move(arguments), {}, {}, false, {}, std::chrono::seconds(20)});
}

TEST(Pelgrin32Processes, EveryExportReturnsItsNotAttachedValueAndTouchesNothing) {
    const TestAreaName name{"pelgrin32"};
    const RunResult r = client({"unattached"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "-1 -1 -1 -1 0 0 0 0 0 0 0 0 42 0\n");
    EXPECT_FALSE(name.exists());  // no area was made
}

// Whichever client attaches first lays out the area, the other opens it; each waits until its view
// is one complete layout holding both values (Threshold of band 1 of channel records 0 and 1).
TEST(Pelgrin32Processes, TwoProcessesCreatingAtOnceShareOneLaidOutArea) {
    for (int round = 0; round < 8; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        const TestAreaName name{"pelgrin32"};
        RunResult partner;
        std::thread other([&] { partner = client({"meet", "145", "222", "17", "111"}); });
        const RunResult r = client({"meet", "17", "111", "145", "222"});
        other.join();
        ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
        ASSERT_EQ(partner.exitCode, 0) << partner.out << partner.err;
    }
}

}  // namespace
