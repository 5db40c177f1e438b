#pragma once
// A progress bar on standard error, redrawn in place whenever the shown
// percentage changes.
#include <cstdint>

namespace feltrix::render {

class ProgressBar {
public:
    // Shown only when `enabled` (a terminal, a long render).
    ProgressBar(bool enabled, std::uint64_t total) : enabled_(enabled), total_(total) {}
    void update(std::uint64_t done);
    // Ends the bar's line, if one was drawn.
    void end();

private:
    bool enabled_;
    std::uint64_t total_;
    int shownPercent_ = -1;
};

}  // namespace feltrix::render
