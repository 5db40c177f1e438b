// PELGRIN32.DLL as Windows programs use it: linked through its import library
// (so the calling convention of pelgrin32.h is the one the DLL exports),
// client processes sharing the named mapping, and two processes creating it
// at once. (The export table itself is checked by export_table_test.sh.) A mapping lives while some process holds a handle to it, so the
// test process itself keeps the area when it has to outlive a client.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <thread>

#include "interface_library/pelgrin32.h"
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

// The host (this process) creates the area; a client process writes and
// reads through its own view of the same memory.
TEST(Pelgrin32Windows, HostAndClientProcessesShareTheArea) {
    const TestAreaName name{"pelgrin32"};
    ASSERT_NE(Open("host"), nullptr);
    EXPECT_EQ(DllCFunc(-1616, 7), 7);
    const std::string ext = std::to_string(extended(1, 0, 2, 3, 0));
    const RunResult writer = client({"write", "17", "70000", ext, "-123456", "1793", "1234"});
    ASSERT_EQ(writer.exitCode, 0) << writer.out << writer.err;
    EXPECT_EQ(writer.out, "70000\n-123456\n1234\n");
    EXPECT_EQ(DllCFunc(17, 0), 70000);
    EXPECT_EQ(DllCFunc(3, 0), -123456);  // the plain word mirrors the extended write
    EXPECT_EQ(DllCFunc(1793, 0), 1234);
    EXPECT_EQ(client({"read", "1616", "17"}).out, "7\n70000\n");
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
        const auto diff = differences(name.snapshot(), expectedAfterMeeting(111, 222));
        EXPECT_TRUE(diff.empty()) << diff.size() << " bytes differ, the first at offset " << diff.front();
        CloseHandle(kept);
    }
}

}  // namespace
}  // namespace pelgrin32::testing
