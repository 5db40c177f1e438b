#include <gtest/gtest.h>

#include "tests/support/test_support.h"

using namespace feltrix::testing;

TEST(Startup, RemovedGlobalsAreNil) {
    TempDir dir;
    const RunResult r = runFeltrix(dir, "print(io, os, debug, package, require, jit, type(string), type(math)) exit()");
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, "nil\tnil\tnil\tnil\tnil\tnil\ttable\ttable\n");
}
