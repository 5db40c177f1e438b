// The program itself, beside a client process (this test) that reads the shared area through the
// interface library, on a test area of its own.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdint>
#include <string>

#include "hostlink/library_loader.h"
#include "tests/support/test_area_name.h"
#include "tests/support/test_support.h"
#include "tools/acquire/host_variables.h"
#include "tools/acquire/pelgrin_library.h"
#include "tools/acquire/tick_recording.h"

using namespace eegsim;
using namespace feltrix::testing;

namespace {

class EegsimProgram : public ::testing::Test {
protected:
    void SetUp() override {
        std::string failures;
        void* library = feltrix::loadLibraryFile(PELGRIN32_LIBRARY, &failures);
        ASSERT_NE(library, nullptr) << failures;
        auto open = reinterpret_cast<OpenFunction>(feltrix::findLibraryExport(library, "Open"));
        dllCFunc_ = reinterpret_cast<DllCFuncFunction>(feltrix::findLibraryExport(library, "DllCFunc"));
        ASSERT_TRUE(open && dllCFunc_ && open("client") != nullptr);
    }
    RunResult run(std::vector<std::string> args) {
        return runProgram(EEGSIM_PROGRAM, {args, dir_.path(), {}, false, {}, std::chrono::seconds(20)});
    }
    // What a client reads, as Feltrix keeps it: the low 16 bits, signed.
    int16_t read(int index) { return static_cast<int16_t>(dllCFunc_(index, 0) & 0xFFFF); }

    TempDir dir_;
    TestAreaName area_{"eegsim"};  // set in this process's environment, inherited by the program
    DllCFuncFunction dllCFunc_ = nullptr;
};

}  // namespace

// Two rows; every variable of the last one holds a value of its own, so a
// variable written to another's index shows.
TEST_F(EegsimProgram, ReplayWritesEachVariableToItsOwnIndex) {
    std::string content = recordingHeader() + "\n0,0.031250", last = "\n1,0.062500";
    for (std::size_t i = 0; i < hostSlots().size(); ++i)
        content += ",5", last += "," + std::to_string(int(i) * 113 - 15000);
    content += last;
    dir_.write("crafted.csv", content + "\n");
    const RunResult result = run({"--replay", "crafted.csv", "--speed", "0"});
    ASSERT_EQ(result.exitCode, 0) << result.out << result.err;
    EXPECT_NE(result.out.find("end of the recording after 2 updates"), std::string::npos) << result.out;
    for (std::size_t i = 0; i < hostSlots().size(); ++i)
        EXPECT_EQ(read(hostSlots()[i].index), int(i) * 113 - 15000) << hostSlots()[i].name;
}

TEST_F(EegsimProgram, CtrlCStopsItCleanly) {
    const RunOptions options{{"--rate", "64"}, {}, {}, false, {}, std::chrono::seconds(20)};
    BackgroundProgram program(EEGSIM_PROGRAM, options, dir_.file("out.txt"));
    // Running in real time: wait until it has written an Alpha value.
    ASSERT_TRUE(waitFor([&] { return read(3) != 0; }));
    EXPECT_EQ(program.stop(SIGINT), 0);
    const std::string text = readFile(dir_.file("out.txt"));
    EXPECT_NE(text.find("Alpha L"), std::string::npos) << text;  // the status line
    EXPECT_NE(text.find("feltrix-acquire: stopped after"), std::string::npos) << text;
}

// (A broken EDF file's own message: the sources test.)
TEST_F(EegsimProgram, ProblemsAreReportedBeforeAnythingIsWritten) {
    const struct { std::vector<std::string> arguments; int exitCode; std::string mention; } cases[] = {
        {{"--edf", "missing.edf"}, 1, "no such file"},
        {{"--replay", "missing.csv"}, 1, "cannot open \"missing.csv\""},
        {{"--library", "/none/library"}, 1, std::string("cannot load ") + feltrix::kInterfaceLibraryFileName},
        {{"--rate", "fast"}, 2, "bad value for --rate"},
    };
    for (const auto& c : cases) {
        const RunResult result = run(c.arguments);
        EXPECT_EQ(result.exitCode, c.exitCode) << c.arguments[0];
        EXPECT_NE(result.out.find(c.mention), std::string::npos) << result.out;
    }
    EXPECT_EQ(read(3), 0);
}
