#pragma once
// A live session: OSC datagrams in, frames of host variables out, once per
// update interval, with the status line and the optional recording.
#include <functional>
#include <memory>
#include <string>

#include "tools/acquire/osc_listener.h"
#include "tools/acquire/osc_map.h"
#include "tools/acquire/session.h"

namespace eegsim {

// What is opened before anything touches the shared area, so that a port in
// use or a bad mapping file is reported first.
struct OscInput {
    std::unique_ptr<OscListener> listener;
    OscMap map;
};
bool openOscInput(const Options& options, OscInput& input, std::string& error);
// "OSC on UDP port 9000 (every interface), Muse's addresses, AF7 left, AF8 right"
std::string describeOscInput(const Options& options, const OscInput& input);

struct OscSessionOutput {
    // The status line's text (null = none).
    std::function<void(double seconds, const std::string& text)> status;
    // A line of its own, e.g. about an unknown address.
    std::function<void(const std::string& text)> notice;
};

// Runs until stopped or a limit (--duration in seconds of the session,
// --ticks in frames) is reached. `hooks.now` is required; `hooks.waitUntil`
// and `hooks.status` are not used.
SessionResult runOscSession(OscInput& input, const Options& options, const SessionHooks& hooks,
                            const OscSessionOutput& output);

}  // namespace eegsim
