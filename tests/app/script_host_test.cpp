// The program as a real process: start-up, init-script failures, the update cycle, exit paths, passthrough.
#include <gtest/gtest.h>

#include <cstdio>

#include "tests/support/test_support.h"

using namespace feltrix::testing;

namespace {

const char* const kFailureBox = "Error: Feltrix encountered an internal Lua error and will now exit.";

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

}  // namespace

TEST(Startup, ScriptsSeeStandardLibrariesWithoutSystemAccess) {
    TempDir dir;
    const RunResult r = runFeltrix(dir,
                                   "print(io, os, debug, package, require, jit)\n"
                                   "print(type(string), type(math), type(table), type(coroutine), type(loadfile))\n"
                                   "print(quenterraConnected)\n"
                                   "exit()");
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(scriptOutput(r.out), "nil\tnil\tnil\tnil\tnil\tnil\ntable\ttable\ttable\ttable\tfunction\nfalse\n");
}

// Every init-script failure ends alike: the message verbatim, the abort line, the error box, exit code 1.
TEST(Startup, InitScriptFailuresPrintTheMessageAndExitWithOne) {
    struct Case { const char* name; const char* script; const char* expectedMessage; };  // null: none
    const Case cases[] = {
        {"missing", nullptr, "cannot open FeltrixInit.lj"},
        {"syntax", "function (", "FeltrixInit.lj:1:"},
        {"runtime with format characters", "error('100% of %s and %d')", "FeltrixInit.lj:1: 100% of %s and %d"},
        {"non-string error", "error({})", "(error object is not a string)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        const RunOptions options = feltrixOptions(dir, c.script ? c.script : "");
        if (c.script == nullptr) std::remove(dir.file("FeltrixInit.lj").c_str());
        const RunResult r = runProgram(feltrixBinary(), options);
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_TRUE(contains(r.out, c.expectedMessage)) << r.out;
        EXPECT_TRUE(contains(r.out, "\nLua error occurred, aborting.\n")) << r.out;
        EXPECT_TRUE(contains(r.err, kFailureBox)) << r.err;
        EXPECT_FALSE(contains(r.out, "update")) << "the update cycle ran";
    }
}

// Without a sound server (and no sound card here) no device opens: the start-up box names what failed,
// as the engine's console line says it, and the script runs all the same.
TEST(Startup, WithoutASoundDeviceTheBoxNamesWhatFailed) {
    TempDir dir;
    RunOptions options;
    options.environment["PULSE_SERVER"] = "unix:" + dir.file("no-server");
    const RunResult r = runFeltrix(dir, "print('the script runs') exit()", options);
    std::string cause;
    for (const std::string& line : lines(r.out))
        if (line.rfind("Error ", 0) == 0) cause = line;
    ASSERT_FALSE(cause.empty()) << r.out;
    EXPECT_TRUE(contains(r.err, "Error: Failed to initialize audio system. " + cause + "\n")) << r.err;
    EXPECT_EQ(scriptOutput(r.out), "the script runs\n");
}

// Intervals are floored at 10 ms. With a one-minute interval only an immediate first cycle can end
// the program within the run's bound; exit() in a callback ends it at once, with 0.
TEST(UpdateCycle, IntervalsAreFlooredAndTheFirstUpdateComesRightAfterTheInitScript) {
    TempDir dir;
    const RunResult r = runFeltrix(dir,
                                   "print(getUpdateInterval())\n"
                                   "setUpdateInterval(0.5) print(getUpdateInterval())\n"
                                   "setUpdateInterval(0.0051) print(getUpdateInterval())\n"
                                   "setUpdateInterval(-3) print(getUpdateInterval())\n"
                                   "setUpdateInterval(0.5) setUpdateInterval(0/0) print(getUpdateInterval())\n"
                                   "local ok, e = pcall(setUpdateInterval) print(e)\n"
                                   "setUpdateInterval(60)\n"
                                   "function FeltrixUpdateCallback() print('update') exit() end");
    EXPECT_FALSE(r.timedOut);
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(scriptOutput(r.out),
              "0.1\n0.5\n0.01\n0.01\n0.01\n"
              "incorrect argument #1 to setUpdateInterval: number expected, got nil\nupdate\n");
}

// A script error in a callback ends the program, not silently: message and traceback, error box.
TEST(ExitPaths, CallbackErrorsAreReportedBeforeTheProgramEnds) {
    const struct { const char* name; const char* script; const char* expected; } cases[] = {
        {"error raised",
         "local n = 0\nfunction FeltrixUpdateCallback() n = n + 1 if n == 2 then error('boom 50%') end end",
         "FeltrixInit.lj:2: boom 50%"},
        {"callback missing", "print('no callbacks')", "attempt to call a nil value"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        const RunResult r = runFeltrix(dir, c.script);
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_TRUE(contains(r.out, c.expected)) << r.out;
        EXPECT_TRUE(contains(r.out, "stack traceback:")) << r.out;
        EXPECT_TRUE(contains(r.err, std::string("Error: ") + c.expected)) << r.err;
    }
}

// 10 000 bytes in reads of at most 4096: three callbacks or more, all before the first update. Nothing to
// drain (a pipe nobody writes to, or /dev/null): no callback and no blocking.
TEST(Passthrough, EveryChunkIsReportedBeforeThatCyclesUpdate) {
    const struct { const char* name; bool pipe; std::size_t bytes; int least, most; } cases[] = {
        {"10 000 bytes", true, 10000, 3, 1000}, {"empty pipe", true, 0, 0, 0}, {"/dev/null", false, 0, 0, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        RunOptions options;
        options.arguments = {"--unknown", "--passthroughStdin", "more"};
        options.stdinIsPipe = c.pipe;
        options.stdinData = std::string(c.bytes, 'x');
        const RunResult r = runFeltrix(dir,
                                       "local chunks, n = 0, 0\n"
                                       "function FeltrixReceiveDemoMessageCallback() chunks = chunks + 1 end\n"
                                       "function FeltrixUpdateCallback() n = n + 1\n"
                                       "  if chunks > 0 or n == 5 then print(chunks) exit() end\n"
                                       "end",
                                       options);
        EXPECT_EQ(r.exitCode, 0);
        const std::string printed = scriptOutput(r.out);
        ASSERT_FALSE(printed.empty());
        EXPECT_GE(std::stoi(printed), c.least) << printed;
        EXPECT_LE(std::stoi(printed), c.most) << printed;
    }
}
