// Configuration files in a folder the user may not write to (Linux file
// modes; root may write anywhere, so the attempts run without privileges).
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "app/config_file.h"
#include "tests/support/test_support.h"

using namespace feltrix;
using namespace feltrix::testing;

TEST(ConfigFile, ReplacementInALockedFolderKeepsTheOldFile) {
    TempDir dir;
    // The old file survives untouched and no temporary file is left behind.
    const std::string locked = dir.path() + "/locked";
    ASSERT_EQ(mkdir(locked.c_str(), 0755), 0);
    dir.write("locked/settings.fxc", "precious");
    ASSERT_EQ(chmod(dir.path().c_str(), 0755), 0);
    ASSERT_EQ(chmod(locked.c_str(), 0555), 0);
    const pid_t child = fork();
    if (child == 0) {
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(2);
        _exit(replaceFileContent(locked + "/settings.fxc", "new", 3) ? 1 : 0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the write into a read-only folder reported success";
    EXPECT_EQ(readFile(locked + "/settings.fxc"), "precious");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(locked), std::filesystem::directory_iterator()), 1);
    chmod(locked.c_str(), 0755);
}
