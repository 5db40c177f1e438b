// The header check of configuration files.
#include <gtest/gtest.h>

#include "app/config_file.h"
#include "tests/support/test_support.h"

using namespace feltrix;
using feltrix::testing::makeFifo;
using feltrix::testing::TempDir;

TEST(ConfigFile, HeaderMustBeExactlyTheFirstCharacters) {
    TempDir dir;
    const struct { const char* name; std::string content; ConfigHeaderCheck expected; } cases[] = {
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
    // Not a regular file: a FIFO without a writer would block the read.
    if (makeFifo(dir.file("pipe.fxc"))) {
        EXPECT_EQ(checkConfigHeader(dir.file("pipe.fxc")), ConfigHeaderCheck::Unreadable);
    }
}
