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

// Saving into a folder the user may not write to: the error names the path
// and the file that was there survives. Root may write anywhere, so the
// program runs as an unprivileged user.
TEST(ConfigFunctions, FailedSaveKeepsTheOldFile) {
    if (geteuid() != 0 || access("/usr/bin/setpriv", X_OK) != 0) GTEST_SKIP() << "needs root and setpriv";
    TempDir dir;
    const std::string locked = dir.path() + "/locked";
    ASSERT_EQ(mkdir(locked.c_str(), 0755), 0);
    const std::string target = dir.write("locked/settings.fxc", "precious");
    ASSERT_EQ(chmod(locked.c_str(), 0555), 0);
    ASSERT_EQ(chmod(dir.path().c_str(), 0777), 0);
    // A FIFO without a writer would hold an ordinary open for ever.
    ASSERT_EQ(mkfifo(dir.file("pipe.fxc").c_str(), 0666), 0);
    dir.write("FeltrixInit.lj",
              "function FeltrixUpdateCallback() print(select(2, pcall(loadConfig, 'pipe.fxc')))\n"
              "print(select(2, pcall(saveConfig, 'new'))) exit() end");
    RunOptions options;
    options.workingDirectory = dir.path();
    options.arguments = {"--reuid=65534", "--regid=65534", "--clear-groups", "--", feltrixBinary()};
    options.environment = {{"QT_QPA_PLATFORM", "offscreen"}, {"FELTRIX_AUTOMATION", "1"},
                           {"XDG_CONFIG_HOME", dir.path() + "/config"}, {"XDG_RUNTIME_DIR", dir.path()},
                           {"HOME", dir.path()},
                           {"FELTRIX_DIALOG_ANSWERS", dir.write("answers.txt", target + "\n")}};
    const RunResult r = runProgram("/usr/bin/setpriv", options);
    EXPECT_EQ(scriptOutput(r.out), "could not load file pipe.fxc\nError saving configuration file " + target +
                                      ": Permission denied\ncould not write to file " + target + "\n")
        << r.err;
    EXPECT_EQ(readFile(target), "precious");
    chmod(locked.c_str(), 0755);
}
