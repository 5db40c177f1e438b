#include "tools/acquire/monitor_recording.h"

#include <cstdio>

namespace eegsim::monitor {

bool ChangeRecorder::open(const std::string& path, std::string& error) { return recorder_.open(path, error); }

bool ChangeRecorder::write(double seconds, const HostFrame& frame, std::string& error) {
    if (!recorder_.active()) return false;
    if (!recorder_.write(rows_, seconds, frame)) {
        char recorded[32];
        std::snprintf(recorded, sizeof recorded, "%.1f", lastSeconds_);
        error = recorder_.error() + "; the recording stops here and keeps its " + std::to_string(rows_) + " rows (" +
                recorded + " s)";
        return false;
    }
    ++rows_;
    lastSeconds_ = seconds;
    last_ = frame;
    return true;
}

bool ChangeRecorder::finish(double seconds, std::string& error) {
    if (!recorder_.active()) return true;
    if (rows_ > 0 && seconds > lastSeconds_ + 1e-6 && !write(seconds, last_, error)) return false;
    if (recorder_.close()) return true;
    error = recorder_.error();
    return false;
}

}  // namespace eegsim::monitor
