#include "tools/render/session_values.h"

#include <cmath>

namespace feltrix::render {

Micros toMicros(double seconds) { return std::llround(seconds * 1e6); }

bool ReplayValues::open(const std::string& path, std::string& error) {
    if (!replayer_.open(path, error)) return false;
    uint64_t tick = 0;
    double seconds = 0.0;
    Micros previous = 0;
    while (replayer_.next(tick, seconds, pending_, error)) {
        const Micros time = toMicros(seconds);
        if (time < previous) {
            error = "\"" + path + "\", line " + std::to_string(replayer_.lineNumber()) +
                    ": the time goes back (rows must be in time order)";
            return false;
        }
        previous = time;
    }
    if (!error.empty()) return false;
    length_ = previous;
    replayer_.rewind();
    return readPending(error);
}

bool ReplayValues::readPending(std::string& error) {
    uint64_t tick = 0;
    double seconds = 0.0;
    pendingTime_.reset();
    if (replayer_.next(tick, seconds, pending_, error)) pendingTime_ = toMicros(seconds);
    return error.empty();
}

bool ReplayValues::advanceTo(Micros time, std::string& error) {
    while (pendingTime_ && *pendingTime_ <= time) {
        frame_ = pending_;
        if (!readPending(error)) return false;
    }
    return true;
}

SyntheticValues::SyntheticValues(const eegsim::SyntheticConfig& synthetic, const eegsim::AnalysisConfig& analysis)
    : source_(synthetic), frames_(source_, analysis) {}

bool SyntheticValues::advanceTo(Micros time, std::string& /*error*/) {
    // The synthetic source never ends.
    while (toMicros(frames_.nextSeconds()) <= time && frames_.next()) frame_ = frames_.frame();
    return true;
}

}  // namespace feltrix::render
