#include "tools/acquire/status_line.h"

#include <cstdio>

namespace eegsim {

std::string formatStatus(double seconds, const HostFrame& frame) {
    auto uv = [](int16_t word) { return word / 10.0; };
    const int16_t(*left)[kMeasures] = frame.band[0];
    const int16_t(*right)[kMeasures] = frame.band[1];
    char text[256];
    std::snprintf(text, sizeof text,
                  "%7.1f s  Alpha L %5.1f R %5.1f uV (thr %5.1f %5.1f)  Theta L %5.1f R %5.1f uV (thr %5.1f %5.1f)  "
                  "artifact %s",
                  seconds, uv(left[Alpha][Value]), uv(right[Alpha][Value]), uv(left[Alpha][Threshold]),
                  uv(right[Alpha][Threshold]), uv(left[Theta][Value]), uv(right[Theta][Value]),
                  uv(left[Theta][Threshold]), uv(right[Theta][Threshold]), frame.artifact ? "YES" : "no ");
    return text;
}

}  // namespace eegsim
