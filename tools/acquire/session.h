#pragma once
// The stand-in's main loop: from a source (or a recording) to the shared
// area, paced in real time (or faster), with the status line and the
// optional recording.
#include <cstdint>
#include <functional>
#include <string>

#include "tools/acquire/host_variables.h"
#include "tools/acquire/options.h"
#include "tools/acquire/signal_source.h"

namespace eegsim {

struct SessionHooks {
    // Receives each frame, in order (writes it to the shared area).
    std::function<void(const HostFrame&)> publish;
    // Status line output (null = none).
    std::function<void(double seconds, const HostFrame& frame)> status;
    // Pacing: the current time and a wait until a given time, in seconds
    // (null = no waiting).
    std::function<double()> now;
    std::function<void(double when)> waitUntil;
    // Polled once per tick; true ends the session.
    std::function<bool()> stop;
};

struct SessionResult {
    bool ok = true;
    std::string message;  // why it ended, or the error
    uint64_t ticks = 0;
    double seconds = 0.0;  // signal time covered
};

// Computes frames from `source` and publishes them.
SessionResult runSourceSession(SignalSource& source, const Options& options, const SessionHooks& hooks);
// Publishes the frames of a recording at the times it holds.
SessionResult runReplaySession(const Options& options, const SessionHooks& hooks);

}  // namespace eegsim
