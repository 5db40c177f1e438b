// The console Feltrix.exe opens shows UTF-8 (what Ctrl-C there does: tests/windows/gui_input_test.sh).
#include <windows.h>

#include <gtest/gtest.h>

#include "app/console.h"

TEST(Console, ShowsUtf8) {
    FreeConsole();  // a console of its own
    feltrix::openConsole();
    EXPECT_EQ(GetConsoleOutputCP(), 65001u);
}
