#pragma once
// Prints the status line: on a terminal one line rewritten in place, ten
// times a second at most; elsewhere (a pipe, a log file) one line per second
// of the session.
#include <cstddef>
#include <string>

namespace eegsim {

class StatusPrinter {
public:
    explicit StatusPrinter(bool terminal) : terminal_(terminal) {}
    void show(double seconds, const std::string& text);
    // A line of its own, between status lines.
    void note(const std::string& text);
    void end();

private:
    bool terminal_;
    bool shown_ = false;
    std::size_t width_ = 0;
    double lastShown_ = -1.0;
    long lastSecond_ = -1;
};

}  // namespace eegsim
