#pragma once
// Drawing the monitor's view in place on a console: terminal escape codes on
// Linux (monitor_console_posix.cpp), the console API on Windows
// (monitor_console_win32.cpp), so that an old console that knows no escape
// codes shows it too.
#include <vector>

#include "tools/acquire/monitor_view.h"

namespace eegsim::monitor {

struct ConsoleSize {
    int columns = 80;
    int rows = 24;
};

// Hides the cursor and clears the window.
void startConsoleView();
// The visible window (80 x 24 when unknown).
ConsoleSize consoleSize();
// Draws the lines from the window's top, highlighted parts in reverse video,
// and blanks the rest of the window.
void drawConsoleView(const std::vector<ScreenLine>& lines);
// Leaves the cursor, visible again, on the line below the view.
void endConsoleView();

}  // namespace eegsim::monitor
