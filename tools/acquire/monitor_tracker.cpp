#include "tools/acquire/monitor_tracker.h"

#include <cmath>

namespace eegsim::monitor {

bool ChangeTracker::update(const HostVariableSnapshot& snapshot, double now) {
    if (!first_ && sameValues(snapshot, values_)) return false;
    if (!first_) {
        for (std::size_t i = 0; i < kVariableCount; ++i) {
            const Variable& variable = variables()[i];
            if (rawValue(snapshot, variable) != rawValue(values_, variable)) changedAt_[i] = now;
        }
        lastChange_ = now;
        changedOnce_ = true;
    }
    first_ = false;
    values_ = snapshot;
    return true;
}

WriterState ChangeTracker::state(double now) const {
    if (!changedOnce_ && allZero(values_)) return WriterState::NoWriter;
    if (!changedOnce_ && stillFor(now) < kStillSeconds) return WriterState::Waiting;
    return stillFor(now) >= kStillSeconds ? WriterState::Still : WriterState::Changing;
}

std::string describeState(WriterState state, double stillSeconds) {
    switch (state) {
    case WriterState::NoWriter: return "no writer has attached (every value is 0)";
    case WriterState::Waiting: return "waiting for values to change";
    case WriterState::Changing: return "values are changing";
    case WriterState::Still: break;
    }
    return "values have not changed for " + std::to_string(static_cast<long>(std::floor(stillSeconds))) +
           " s (has the writer ended?)";
}

}  // namespace eegsim::monitor
