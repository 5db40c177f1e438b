// Header checks and the never-half-written replacement of configuration files.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "app/config_file.h"
#include "tests/support/test_support.h"

using namespace feltrix;
using feltrix::testing::readFile;
using feltrix::testing::TempDir;

TEST(ConfigFile, HeaderMustBeExactlyTheFirstCharacters) {
    TempDir dir;
    const struct {
        const char* name;
        std::string content;
        ConfigHeaderCheck expected;
    } cases[] = {
        {"header only", "-- Feltrix configuration file", ConfigHeaderCheck::Valid},
        {"header and body", "-- Feltrix configuration file\nreturn 1\n", ConfigHeaderCheck::Valid},
        {"text after the header", "-- Feltrix configuration file v2, saved today\nreturn 1", ConfigHeaderCheck::Valid},
        {"empty", "", ConfigHeaderCheck::Invalid},
        {"short first line", "-- Feltrix configuration\nfile\n", ConfigHeaderCheck::Invalid},
        {"byte-order mark", "\xEF\xBB\xBF-- Feltrix configuration file\n", ConfigHeaderCheck::Invalid},
        {"other case", "-- feltrix configuration file\n", ConfigHeaderCheck::Invalid},
        {"leading space", " -- Feltrix configuration file\n", ConfigHeaderCheck::Invalid},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(checkConfigHeader(dir.write("config.fxc", c.content)), c.expected) << c.name;
    }
    EXPECT_EQ(checkConfigHeader(dir.file("missing.fxc")), ConfigHeaderCheck::Unreadable);
}

TEST(ConfigFile, ReplacementWritesEveryByteAndKeepsTheOldFileOnFailure) {
    TempDir dir;
    const std::string path = dir.write("settings.fxc", "old content");
    const std::string withZeros("-- Feltrix configuration file\n\0\0tail", 36);
    ASSERT_TRUE(replaceFileContent(path, withZeros.data(), withZeros.size()));
    EXPECT_EQ(readFile(path), withZeros);

    // A folder that does not allow writing: the old file survives untouched
    // and no temporary file is left behind. Root may write anywhere, so the
    // attempt runs in a child process without privileges.
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
