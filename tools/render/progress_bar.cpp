#include "tools/render/progress_bar.h"

#include <cstdio>
#include <string>

namespace feltrix::render {

void ProgressBar::update(std::uint64_t done) {
    if (!enabled_ || total_ == 0) return;
    const int percent = static_cast<int>(done * 100 / total_);
    if (percent == shownPercent_) return;
    shownPercent_ = percent;
    constexpr int width = 40;
    const int filled = percent * width / 100;
    const std::string bar = std::string(static_cast<std::size_t>(filled), '#') +
                            std::string(static_cast<std::size_t>(width - filled), '.');
    std::fprintf(stderr, "\r[%s] %3d%%", bar.c_str(), percent);
    std::fflush(stderr);
}

void ProgressBar::end() {
    if (enabled_ && shownPercent_ >= 0) std::fputs("\n", stderr);
    shownPercent_ = -1;
}

}  // namespace feltrix::render
