#pragma once
// The monitor's loop: reads the host variables many times a second (so that
// every update of a writer is seen), keeps track of changes, records them
// and hands the state to an output ten times a second. Reads only.
#include <functional>
#include <string>

#include "tools/acquire/monitor_recording.h"
#include "tools/acquire/monitor_tracker.h"

namespace eegsim::monitor {

// Reads between two updates of a writer at up to 100 updates per second.
constexpr double kReadInterval = 0.004;
constexpr double kRefreshInterval = 0.1;

struct MonitorHooks {
    // Takes one snapshot of the host variables, as Feltrix's update cycle does.
    std::function<void(HostVariableSnapshot&)> read;
    std::function<double()> now;
    std::function<void(double when)> waitUntil;
    std::function<bool()> stop;
};

class MonitorOutput {
public:
    virtual ~MonitorOutput() = default;
    // Ten times a second, and once more at the end.
    virtual void refresh(const ChangeTracker& tracker, double now) = 0;
    // A problem to tell the user about (the monitor goes on); `elapsed`:
    // seconds since watching began.
    virtual void notice(const std::string& text, double elapsed) = 0;
};

// Runs until hooks.stop() is true. `recorder` (null: not recording) is
// finished before this returns; false when its last write or close failed.
bool runMonitor(const MonitorHooks& hooks, ChangeRecorder* recorder, MonitorOutput& output);

}  // namespace eegsim::monitor
