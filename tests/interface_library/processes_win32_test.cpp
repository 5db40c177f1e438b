// PELGRIN32.DLL as Windows programs use it: a client process linked through
// its import library, and two processes creating the named mapping at once.
// (The export table is checked by export_table_test.sh, a writer and a reader
// process by the host-link program test.) A mapping lives while some process
// holds a handle to it, so this process keeps it to look at it afterwards.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
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

TEST(Pelgrin32Windows, EveryExportReturnsItsNotAttachedValueAndMakesNoArea) {
    const TestAreaName name{"pelgrin32"};
    const RunResult r = client({"unattached"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "-1 -1 -1 -1 0 0 0 0 0 0 0 0 42 0\n");
    EXPECT_FALSE(name.exists());
}

// Two clients started at once: whichever attaches first creates and lays out
// the area, the other opens it (the named mutex orders them), and each sees
// the other's value. This process only opens the mapping once it exists, to
// look at it afterwards.
TEST(Pelgrin32Windows, TwoProcessesCreatingAtOnceShareOneLaidOutArea) {
    for (int round = 0; round < 6; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        const TestAreaName name{"pelgrin32"};
        std::atomic<bool> done{false};
        HANDLE kept = nullptr;
        std::thread keeper([&] {
            while (!done && kept == nullptr) {
                kept = OpenFileMappingA(FILE_MAP_READ, FALSE, name.name().c_str());
                if (kept == nullptr) Sleep(1);
            }
        });
        RunResult partner;
        std::thread other([&] { partner = client({"meet", "145", "222", "17", "111"}); });
        const RunResult r = client({"meet", "17", "111", "145", "222"});
        other.join();
        done = true;
        keeper.join();
        ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
        ASSERT_EQ(partner.exitCode, 0) << partner.out << partner.err;
        ASSERT_NE(kept, nullptr);
        EXPECT_TRUE(sameBytes(name.snapshot(), expectedAfterMeeting(111, 222)));
        CloseHandle(kept);
    }
}

}  // namespace
}  // namespace pelgrin32::testing
