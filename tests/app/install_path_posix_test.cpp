// The install-path record on Linux (Qt's settings file of the user).
#include <gtest/gtest.h>

#include <string>

#include "tests/support/test_support.h"

using namespace feltrix::testing;

// Every start records the executable's full path; a settings location that
// cannot be written changes nothing the user sees.
TEST(Startup, InstallPathIsRecordedAndFailureIsIgnored) {
    TempDir dir;
    RunResult r = runFeltrix(dir, "exit()");
    EXPECT_EQ(r.exitCode, 0);
    const std::string settings = readFile(dir.path() + "/config/Brosvane/Feltrix.conf");
    EXPECT_NE(settings.find("InstallPath=" + feltrixBinary()), std::string::npos) << settings;

    // The settings folder's place is taken by a file: nothing can be written.
    RunOptions options;
    options.environment["XDG_CONFIG_HOME"] = dir.write("not-a-folder", "x");
    r = runFeltrix(dir, "print('running') exit()", options);
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(scriptOutput(r.out), "running\n");
}
