// tryLoadQuenterra in the real program, against stand-in libraries placed in
// the program's own library folder: absent, missing an export, failing Open,
// and one that answers every read with its index.
#include <gtest/gtest.h>

#include <string>

#include "tests/hostlink/program_copy.h"

using namespace feltrix::testing;

namespace {

std::string fakeLibrary(const std::string& variant) {
    return std::string(FAKE_PELGRIN_FOLDER) + "/fake_" + variant + "/libpelgrin32.so";
}

// Calls tryLoadQuenterra twice under pcall, prints each outcome, and prints
// what the first update callback sees.
constexpr const char* kTwoCallsScript = R"(
print("init", quenterraConnected, leftDeltaValue)
print("first", pcall(tryLoadQuenterra))
print("connected", quenterraConnected)
print("second", pcall(tryLoadQuenterra))
print("connected", quenterraConnected)
function FeltrixUpdateCallback()
  print("values", leftDeltaValue, rightDeltaValue, rightResrvMode, rightResrvPeakFrequency,
        artifact, event1ValA, event16Flag)
  print("never read", leftResrvCoher, leftResrvDampedValue, leftResrvPhase,
        rightResrvCoher, rightResrvDampedValue, rightResrvPhase)
  exit()
end
)";

constexpr const char* kLoadFailure =
    "libpelgrin32.so could not be loaded. Make sure Quenterra is installed on your system.";
constexpr const char* kOpenFailure =
    "Open from libpelgrin32.so could not attach to the shared memory area. Make sure shared memory (/dev/shm) "
    "is available and writable, and that Quenterra runs as the same user as Feltrix.";

}  // namespace

TEST(TryLoadQuenterraProgram, BindsTheLibraryInTheProgramsOwnFolder) {
    const ProgramCopy program(fakeLibrary("full"));
    const RunResult r = program.run(kTwoCallsScript);
    EXPECT_EQ(r.exitCode, 0) << r.out << r.err;
    EXPECT_EQ(withoutAudioDiagnostics(r.out),
              "init\tfalse\tnil\n"
              "fake Open Feltrix\n"
              "first\ttrue\n"
              "connected\ttrue\n"
              "second\ttrue\n"  // no second Open
              "connected\ttrue\n"
              // The stand-in answers each read with its index.
              "values\t1\t129\t201\t254\ttrue\t1744\t1791\n"
              "never read\t0\t0\t0\t0\t0\t0\n");
}

TEST(TryLoadQuenterraProgram, FailuresAreScriptErrorsWithConnectedFalse) {
    const struct {
        const char* what;
        std::string library;
        const char* openFailures;
        std::string expected;
    } cases[] = {
        {"no library folder", "", "0",
         std::string("init\tfalse\tnil\n") + "first\tfalse\t" + kLoadFailure + "\nconnected\tfalse\n" +
             "second\tfalse\t" + kLoadFailure + "\nconnected\tfalse\n" +
             "values\t0\t0\t0\t0\tfalse\t0\t0\nnever read\t0\t0\t0\t0\t0\t0\n"},
        {"without DllCFunc", fakeLibrary("without_dllcfunc"), "0",
         "init\tfalse\tnil\n"
         "first\tfalse\tError loading DllCFunc from libpelgrin32.so.\nconnected\tfalse\n"
         "second\tfalse\tError loading DllCFunc from libpelgrin32.so.\nconnected\tfalse\n"
         "values\t0\t0\t0\t0\tfalse\t0\t0\nnever read\t0\t0\t0\t0\t0\t0\n"},
        {"without Open", fakeLibrary("without_open"), "0",
         "init\tfalse\tnil\n"
         "first\tfalse\tError loading Open from libpelgrin32.so.\nconnected\tfalse\n"
         "second\tfalse\tError loading Open from libpelgrin32.so.\nconnected\tfalse\n"
         "values\t0\t0\t0\t0\tfalse\t0\t0\nnever read\t0\t0\t0\t0\t0\t0\n"},
        // Open fails once: the second call repeats it and binds.
        {"Open failing once", fakeLibrary("full"), "1",
         std::string("init\tfalse\tnil\nfake Open Feltrix\n") + "first\tfalse\t" + kOpenFailure +
             "\nconnected\tfalse\n" + "fake Open Feltrix\nsecond\ttrue\nconnected\ttrue\n" +
             "values\t1\t129\t201\t254\ttrue\t1744\t1791\nnever read\t0\t0\t0\t0\t0\t0\n"},
    };
    for (const auto& c : cases) {
        const ProgramCopy program(c.library);
        RunOptions options;
        options.environment["FAKE_PELGRIN_OPEN_FAILURES"] = c.openFailures;
        const RunResult r = program.run(kTwoCallsScript, options);
        EXPECT_EQ(r.exitCode, 0) << c.what << "\n" << r.err;
        EXPECT_EQ(withoutAudioDiagnostics(r.out), c.expected) << c.what;
    }
}

TEST(TryLoadQuenterraProgram, UncaughtFailureEndsTheInitScript) {
    const ProgramCopy program("");
    const RunResult r = program.run(R"(
tryLoadQuenterra()
print("not reached")
function FeltrixUpdateCallback() exit() end
)");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(withoutAudioDiagnostics(r.out), std::string(kLoadFailure) + "\nLua error occurred, aborting.\n");
}
