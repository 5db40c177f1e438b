#pragma once
// What the monitor has seen so far: the current values, when each last
// changed, and whether a writer is at work.
#include <vector>

#include "tools/acquire/monitor_values.h"

namespace eegsim::monitor {

// Seconds without a change after which the values are said to stand still.
constexpr double kStillSeconds = 2.0;

enum class WriterState {
    NoWriter,  // every value is 0 and none has changed: nothing has written yet
    Waiting,   // values are there, none has changed yet, watching for less than kStillSeconds
    Changing,  // a value changed within the last kStillSeconds
    Still,     // values are there but have not changed for kStillSeconds or more
};

class ChangeTracker {
public:
    // `start`: when watching began (the first snapshot comes at that time).
    explicit ChangeTracker(double start) : start_(start), lastChange_(start) {}

    // Takes the values read at `now`; true when they differ from the last
    // ones (or are the first).
    bool update(const HostVariableSnapshot& snapshot, double now);

    const HostVariableSnapshot& values() const { return values_; }
    // When variable i last changed; below start() when it has not changed
    // since the first snapshot.
    double changedAt(std::size_t variable) const { return changedAt_[variable]; }
    double start() const { return start_; }

    WriterState state(double now) const;
    // Seconds since the last change (since the start when there was none).
    double stillFor(double now) const { return now - lastChange_; }

private:
    double start_;
    double lastChange_;
    bool first_ = true;
    bool changedOnce_ = false;
    HostVariableSnapshot values_{};
    std::vector<double> changedAt_ = std::vector<double>(kVariableCount, -1e300);
};

// One line saying what the state means, e.g. "no writer has attached (every
// value is 0)", "values have not changed for 12 s".
std::string describeState(WriterState state, double stillSeconds);

}  // namespace eegsim::monitor
