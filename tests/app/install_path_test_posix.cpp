// The install-path record on Linux (Qt's settings file of the user).
#include <gtest/gtest.h>

#include <string>

#include "tests/support/test_support.h"

using namespace feltrix::testing;

TEST(Startup, InstallPathIsRecorded) {
    TempDir dir;
    const RunResult r = runFeltrix(dir, "exit()");
    EXPECT_EQ(r.exitCode, 0);
    const std::string settings = readFile(dir.path() + "/config/Brosvane/Feltrix.conf");
    EXPECT_NE(settings.find("InstallPath=" + feltrixBinary()), std::string::npos) << settings;
}
