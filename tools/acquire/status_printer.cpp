#include "tools/acquire/status_printer.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "tools/acquire/system.h"

namespace eegsim {

void StatusPrinter::show(double seconds, const std::string& line) {
    if (terminal_) {
        double now = monotonicSeconds();
        if (now - lastShown_ < 0.1) return;
        lastShown_ = now;
        // Spaces rather than a terminal escape clear the rest of a longer
        // previous line: a Windows console may not know the escapes.
        // A line as wide as the window would wrap, and the carriage
        // return would then rewrite only its last row: cut it short.
        std::string text = line;
        const std::size_t columns = terminalColumns();
        if (columns > 1 && text.size() > columns - 1) text.resize(columns - 1);
        std::size_t width = std::max(width_, text.size());
        if (columns > 1) width = std::min(width, columns - 1);
        std::printf("\r%s%*s", text.c_str(), static_cast<int>(width - text.size()), "");
        width_ = width;
        shown_ = true;
    } else {
        long second = static_cast<long>(std::floor(seconds));
        if (second == lastSecond_) return;
        lastSecond_ = second;
        std::printf("%s\n", line.c_str());
    }
    std::fflush(stdout);
}

void StatusPrinter::note(const std::string& text) {
    if (terminal_ && shown_) std::printf("\r%*s\r", static_cast<int>(width_), "");
    std::printf("%s\n", text.c_str());
    std::fflush(stdout);
    lastShown_ = -1.0;
}

void StatusPrinter::end() {
    if (terminal_ && shown_) std::printf("\n");
}

}  // namespace eegsim
