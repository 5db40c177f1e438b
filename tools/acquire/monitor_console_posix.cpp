// The monitor's view on a terminal, with the escape codes every terminal
// emulator of today knows (ECMA-48: cursor home, erase, reverse video).
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "tools/acquire/monitor_console.h"

namespace eegsim::monitor {
namespace {

void writeAll(const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(STDOUT_FILENO, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return;
        done += static_cast<std::size_t>(n);
    }
}

}  // namespace

void startConsoleView() { writeAll("\x1b[?25l\x1b[H\x1b[2J"); }

ConsoleSize consoleSize() {
    winsize size{};
    ConsoleSize result;
    if (ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0 && size.ws_row > 0) {
        result.columns = size.ws_col;
        result.rows = size.ws_row;
    }
    return result;
}

void drawConsoleView(const std::vector<ScreenLine>& lines) {
    std::string text = "\x1b[H";
    for (std::size_t i = 0; i < lines.size(); ++i) {
        for (const Segment& segment : lines[i]) {
            if (segment.highlighted) text += "\x1b[7m";
            text += segment.text;
            if (segment.highlighted) text += "\x1b[0m";
        }
        // Erase the rest of the line; no line break after the last line, so
        // that a view as tall as the window does not scroll it.
        text += "\x1b[K";
        if (i + 1 < lines.size()) text += "\r\n";
    }
    text += "\x1b[J";
    writeAll(text);
}

void endConsoleView() { writeAll("\r\n\x1b[?25h"); }

}  // namespace eegsim::monitor
