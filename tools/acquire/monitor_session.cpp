#include "tools/acquire/monitor_session.h"

namespace eegsim::monitor {
namespace {

// Reads until two reads in a row agree, so that a snapshot taken while a
// writer was half-way through an update is not taken for values it wrote.
void readSettled(const MonitorHooks& hooks, const HostVariableSnapshot& known, HostVariableSnapshot& snapshot) {
    hooks.read(snapshot);
    if (sameValues(snapshot, known)) return;
    HostVariableSnapshot again{};
    for (int tries = 0; tries < 8; ++tries) {
        hooks.read(again);
        if (sameValues(again, snapshot)) return;
        snapshot = again;
    }
}

}  // namespace

bool runMonitor(const MonitorHooks& hooks, ChangeRecorder* recorder, MonitorOutput& output) {
    const double start = hooks.now();
    ChangeTracker tracker(start);
    const HostVariableSnapshot zero{};
    HostVariableSnapshot snapshot{};
    std::string error;
    auto record = [&](double now) {
        if (recorder && recorder->active() && !recorder->write(now - start, toFrame(tracker.values()), error))
            output.notice(error, now - start);
    };
    readSettled(hooks, zero, snapshot);
    tracker.update(snapshot, start);
    record(start);
    output.refresh(tracker, start);
    double nextRead = start, nextRefresh = start + kRefreshInterval;
    while (!hooks.stop()) {
        nextRead += kReadInterval;
        double now = hooks.now();
        // Behind (the machine was busy): read now rather than catch up.
        if (nextRead < now) nextRead = now;
        hooks.waitUntil(nextRead);
        if (hooks.stop()) break;
        now = hooks.now();
        readSettled(hooks, tracker.values(), snapshot);
        if (tracker.update(snapshot, now)) record(now);
        if (now >= nextRefresh) {
            output.refresh(tracker, now);
            nextRefresh += kRefreshInterval;
            if (nextRefresh < now) nextRefresh = now + kRefreshInterval;
        }
    }
    const double end = hooks.now();
    output.refresh(tracker, end);
    if (recorder && !recorder->finish(end - start, error)) {
        output.notice(error, end - start);
        return false;
    }
    return true;
}

}  // namespace eegsim::monitor
