// tryLoadQuenterra in the real program, against stand-in libraries placed in
// the program's own library folder: absent, missing an export, failing Open,
// and one that answers every read with its index.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/support/test_support.h"

using namespace feltrix::testing;

namespace {

// Runs a copy of the program, <root>/bin/feltrix, in <root>/run with `library`
// (none when empty) as <root>/lib/libpelgrin32.so, the one it must load.
RunResult runCopy(const std::string& library, const std::string& script, const char* openFailures = "0") {
    namespace fs = std::filesystem;
    const TempDir root;
    fs::create_directories(root.file("bin"));
    fs::create_directories(root.file("run"));
    fs::copy_file(feltrixBinary(), root.file("bin/feltrix"));
    if (!library.empty()) {
        fs::create_directories(root.file("lib"));
        fs::copy_file(std::string(FAKE_PELGRIN_FOLDER) + "/fake_" + library + "/libpelgrin32.so",
                      root.file("lib/libpelgrin32.so"));
    }
    root.write("run/FeltrixInit.lj", script);
    RunOptions options;
    options.workingDirectory = root.file("run");
    options.environment = {{"QT_QPA_PLATFORM", "offscreen"},  {"FELTRIX_AUTOMATION", "1"},
                           {"XDG_CONFIG_HOME", root.file("config")}, {"LD_LIBRARY_PATH", ""},
                           {"FAKE_PELGRIN_OPEN_FAILURES", openFailures}};
    return runProgram(root.file("bin/feltrix"), options);
}

// Calls tryLoadQuenterra twice under pcall and prints what the first update
// callback sees.
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
// The stand-in answers each read with its index; unbound, every value is 0.
const std::string kIndexValues = "values\t1\t129\t201\t254\ttrue\t1744\t1791\nnever read\t0\t0\t0\t0\t0\t0\n";
const std::string kZeroValues = "values\t0\t0\t0\t0\tfalse\t0\t0\nnever read\t0\t0\t0\t0\t0\t0\n";

std::string bothCallsFail(const std::string& message) {
    return "init\tfalse\tnil\nfirst\tfalse\t" + message + "\nconnected\tfalse\nsecond\tfalse\t" + message +
           "\nconnected\tfalse\n" + kZeroValues;
}

}  // namespace

TEST(TryLoadQuenterraProgram, BindsFromItsOwnFolderOrFailsWithConnectedFalse) {
    const struct {
        const char* library;
        const char* openFailures;
        std::string expected;
    } cases[] = {
        // The second call after success does nothing: no second Open.
        {"full", "0",
         "init\tfalse\tnil\nfake Open Feltrix\nfirst\ttrue\nconnected\ttrue\nsecond\ttrue\nconnected\ttrue\n" +
             kIndexValues},
        {"", "0", bothCallsFail(kLoadFailure)},
        {"without_dllcfunc", "0", bothCallsFail("Error loading DllCFunc from libpelgrin32.so.")},
        {"without_open", "0", bothCallsFail("Error loading Open from libpelgrin32.so.")},
        // Open fails once: the second call repeats it and binds.
        {"full", "1",
         std::string("init\tfalse\tnil\nfake Open Feltrix\nfirst\tfalse\t") + kOpenFailure +
             "\nconnected\tfalse\nfake Open Feltrix\nsecond\ttrue\nconnected\ttrue\n" + kIndexValues},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.library) + " " + c.openFailures);
        const RunResult r = runCopy(c.library, kTwoCallsScript, c.openFailures);
        EXPECT_EQ(r.exitCode, 0) << r.err;
        EXPECT_EQ(scriptOutput(r.out), c.expected);
    }
}

TEST(TryLoadQuenterraProgram, UncaughtFailureEndsTheInitScript) {
    const RunResult r = runCopy("", "tryLoadQuenterra()\nprint('not reached')\n");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(scriptOutput(r.out), std::string(kLoadFailure) + "\nLua error occurred, aborting.\n");
}
