#include "tools/acquire/osc_status.h"

#include <cmath>
#include <cstdio>

namespace eegsim {

std::string formatOscStatus(const OscStatus& status, const HostFrame& frame) {
    char text[512];
    std::string line;
    std::snprintf(text, sizeof text, "%7.1f s  ", status.seconds);
    line += text;
    if (status.silentSeconds >= 0.0) {
        std::snprintf(text, sizeof text, "no OSC data on port %d for %.0f s", status.port,
                      std::floor(status.silentSeconds));
        line += text;
    } else if (status.sender.empty()) {
        line += "waiting for OSC on port " + std::to_string(status.port);
    } else {
        line += "from " + status.sender + ", " + status.mode;
    }
    std::snprintf(text, sizeof text, "  %.0f packets/s ", status.packetsPerSecond);
    line += text;
    for (const auto& sensor : status.samplesPerSecond) {
        std::snprintf(text, sizeof text, " %s %.0f", sensor.first.c_str(), sensor.second);
        line += text;
    }
    if (!status.samplesPerSecond.empty()) line += " samples/s";
    if (status.rateOff) {
        std::snprintf(text, sizeof text, " (not the expected %g: see --osc-rate)", status.expectedRate);
        line += text;
    }
    const OscCounts& c = status.counts;
    line += "  bad " + std::to_string(c.bad());
    if (c.bad() > 0) {
        std::string parts;
        auto part = [&](uint64_t count, const char* what) {
            if (count) parts += (parts.empty() ? "" : ", ") + std::to_string(count) + " " + what;
        };
        part(c.malformed, "malformed");
        part(c.wrongType, "wrong type");
        part(c.notFinite, "NaN/inf");
        part(c.oversized, "oversized");
        part(c.dropped, "dropped");
        line += " (" + parts + ")";
    }
    line += "  unknown " + std::to_string(c.unknown);
    auto uv = [](int16_t word) { return word / 10.0; };
    std::snprintf(text, sizeof text, "  Alpha L %.1f R %.1f uV  Theta L %.1f R %.1f uV  artifact %s",
                  uv(frame.band[0][Alpha][Value]), uv(frame.band[1][Alpha][Value]), uv(frame.band[0][Theta][Value]),
                  uv(frame.band[1][Theta][Value]), frame.artifact ? "YES" : "no");
    line += text;
    return line;
}

}  // namespace eegsim
