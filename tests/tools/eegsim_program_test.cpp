// The program itself, beside a client process (this test) that reads the
// shared area through libpelgrin32.so, on a test area of its own.
#include <gtest/gtest.h>

#include <dlfcn.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "tests/support/test_area_name.h"
#include "tests/support/test_support.h"
#include "tools/eegsim/host_variables.h"
#include "tools/eegsim/tick_recording.h"

using namespace eegsim;
using namespace feltrix::testing;

namespace {

const std::string kProgram = std::string(FELTRIX_BINARY_DIR) + "/bin/feltrix-eegsim";
const std::string kLibrary = std::string(FELTRIX_BINARY_DIR) + "/lib/libpelgrin32.so";

class EegsimProgram : public ::testing::Test {
protected:
    void SetUp() override {
        library_ = dlopen(kLibrary.c_str(), RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(library_, nullptr) << dlerror();
        auto open = reinterpret_cast<void* (*)(const char*)>(dlsym(library_, "Open"));
        dllCFunc_ = reinterpret_cast<int32_t (*)(int32_t, int32_t)>(dlsym(library_, "DllCFunc"));
        ASSERT_TRUE(open && dllCFunc_);
        ASSERT_NE(open("client"), nullptr);
    }
    RunResult run(const std::vector<std::string>& arguments) {
        RunOptions options;
        options.arguments = arguments;
        options.workingDirectory = dir_.path();
        return runProgram(kProgram, options);
    }
    // What a client reads, as Feltrix keeps it: the low 16 bits, signed.
    int16_t read(int index) { return static_cast<int16_t>(dllCFunc_(index, 0) & 0xFFFF); }
    HostFrame lastFrame(const std::string& path) {
        TickReplayer replayer;
        std::string error;
        EXPECT_TRUE(replayer.open(path, error)) << error;
        HostFrame frame, last;
        uint64_t tick;
        double seconds;
        while (replayer.next(tick, seconds, frame, error)) last = frame;
        EXPECT_EQ(error, "");
        return last;
    }

    TempDir dir_;
    TestAreaName area_{"eegsim"};  // set in this process's environment, inherited by the program
    void* library_ = nullptr;
    int32_t (*dllCFunc_)(int32_t, int32_t) = nullptr;
};

}  // namespace

TEST_F(EegsimProgram, AClientReadsWhatTheStandInWrote) {
    RunResult result = run({"--ticks", "96", "--speed", "0", "--quiet", "--record", "session.csv"});
    ASSERT_EQ(result.exitCode, 0) << result.out << result.err;
    EXPECT_NE(result.out.find("finished after 96 updates (3.0 s of signal)"), std::string::npos) << result.out;
    const HostFrame last = lastFrame(dir_.file("session.csv"));
    for (const HostSlot& slot : hostSlots()) EXPECT_EQ(read(slot.index), slotValue(last, slot)) << slot.name;
    EXPECT_GT(read(3), 0);    // leftAlphaValue
    EXPECT_GT(read(131), 0);  // rightAlphaValue
}

TEST_F(EegsimProgram, ReplayWritesEachVariableToItsOwnIndex) {
    // Two rows; every variable of the last one holds a value of its own, so a
    // variable written to another's index shows.
    std::string content = recordingHeader() + "\n0,0.031250";
    for (std::size_t i = 0; i < hostSlots().size(); ++i) content += ",5";
    content += "\n1,0.062500";
    for (std::size_t i = 0; i < hostSlots().size(); ++i) content += "," + std::to_string(int(i) * 113 - 15000);
    dir_.write("crafted.csv", content + "\n");
    RunResult result = run({"--replay", "crafted.csv", "--speed", "0", "--record", "again.csv"});
    ASSERT_EQ(result.exitCode, 0) << result.out << result.err;
    EXPECT_NE(result.out.find("end of the recording after 2 updates"), std::string::npos) << result.out;
    for (std::size_t i = 0; i < hostSlots().size(); ++i)
        EXPECT_EQ(read(hostSlots()[i].index), int(i) * 113 - 15000) << hostSlots()[i].name;
    EXPECT_EQ(readFile(dir_.file("again.csv")), content + "\n");
}

TEST_F(EegsimProgram, CtrlCStopsItCleanly) {
    const std::string output = dir_.file("out.txt");
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        FILE* out = freopen(output.c_str(), "w", stdout);
        if (!out) _exit(99);
        execl(kProgram.c_str(), kProgram.c_str(), "--rate", "64", nullptr);
        _exit(98);
    }
    // Running in real time: wait until it has written an Alpha value.
    bool writing = waitFor([&] { return read(3) != 0; });
    kill(child, SIGINT);
    int status = 0;
    bool ended = waitFor([&] { return waitpid(child, &status, WNOHANG) == child; });
    if (!ended) {
        kill(child, SIGKILL);
        waitpid(child, &status, 0);
    }
    ASSERT_TRUE(writing);
    ASSERT_TRUE(ended);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    const std::string text = readFile(output);
    EXPECT_NE(text.find("Alpha L"), std::string::npos) << text;  // the status line
    EXPECT_NE(text.find("feltrix-eegsim: stopped after"), std::string::npos) << text;
}

TEST_F(EegsimProgram, ProblemsAreReportedBeforeAnythingIsWritten) {
    dir_.write("text.edf", "not a recording\n");
    struct Case {
        std::vector<std::string> arguments;
        int exitCode;
        std::string mention;
    } cases[] = {
        {{"--edf", "missing.edf"}, 1, "no such file"},
        {{"--edf", "text.edf"}, 1, "is not an EDF"},
        {{"--replay", "missing.csv"}, 1, "cannot open \"missing.csv\""},
        {{"--library", "/nonexistent/libpelgrin32.so"}, 1, "cannot load libpelgrin32.so"},
        {{"--rate", "fast"}, 2, "bad value for --rate"},
        {{"--frobnicate"}, 2, "unknown option --frobnicate"},
    };
    for (const Case& c : cases) {
        RunResult result = run(c.arguments);
        EXPECT_EQ(result.exitCode, c.exitCode) << c.arguments[0];
        EXPECT_NE(result.out.find(c.mention), std::string::npos) << result.out;
    }
    EXPECT_EQ(read(3), 0);
}

TEST_F(EegsimProgram, HelpDescribesTheOptions) {
    RunResult result = run({"--help"});
    EXPECT_EQ(result.exitCode, 0);
    for (const char* option : {"--edf", "--left", "--right", "--speed", "--seed", "--record", "--replay", "--rate"})
        EXPECT_NE(result.out.find(option), std::string::npos) << option;
}
