#include "tools/acquire/session.h"

#include <vector>

#include "tools/acquire/source_frames.h"
#include "tools/acquire/tick_recording.h"

namespace eegsim {
namespace {

// Shared by both kinds of session: recording, pacing, limits.
class SessionDriver {
public:
    SessionDriver(const Options& options, const SessionHooks& hooks) : options_(options), hooks_(hooks) {}

    bool start(SessionResult& result) {
        if (!options_.recordPath.empty() && !recorder_.open(options_.recordPath, result.message)) {
            result.ok = false;
            return false;
        }
        if (hooks_.now) start_ = hooks_.now();
        return true;
    }

    // Whether another tick may run (limits and stop requests).
    bool more(SessionResult& result, double nextSeconds) {
        if ((options_.maxTicks && result.ticks >= *options_.maxTicks) ||
            (options_.durationSeconds && nextSeconds > *options_.durationSeconds + 1e-9)) {
            result.message = "finished";
            return false;
        }
        if (hooks_.stop && hooks_.stop()) {
            result.message = "stopped";
            return false;
        }
        return true;
    }

    // Waits for the frame's time, then publishes and records it.
    bool publish(SessionResult& result, uint64_t tick, double seconds, const HostFrame& frame) {
        if (options_.speed > 0.0 && hooks_.waitUntil && hooks_.now) {
            hooks_.waitUntil(start_ + seconds / options_.speed);
            if (hooks_.stop && hooks_.stop()) {
                result.message = "stopped";
                return false;
            }
        }
        if (hooks_.publish) hooks_.publish(frame);
        if (!options_.recordPath.empty() && !recorder_.write(tick, seconds, frame)) {
            result.ok = false;
            result.message = "cannot write to \"" + options_.recordPath + "\"";
            return false;
        }
        if (hooks_.status) hooks_.status(seconds, frame);
        ++result.ticks;
        result.seconds = seconds;
        return true;
    }

    void finish(SessionResult& result) {
        if (!recorder_.close() && result.ok) {
            result.ok = false;
            result.message = "cannot write to \"" + options_.recordPath + "\"";
        }
    }

private:
    const Options& options_;
    const SessionHooks& hooks_;
    TickRecorder recorder_;
    double start_ = 0.0;
};

}  // namespace

SessionResult runSourceSession(SignalSource& source, const Options& options, const SessionHooks& hooks) {
    SessionResult result;
    SessionDriver driver(options, hooks);
    if (!driver.start(result)) return result;
    SourceFrames frames(source, options.analysis);
    while (driver.more(result, frames.nextSeconds())) {
        if (!frames.next()) {
            result.message = "end of the recording";
            break;
        }
        if (!driver.publish(result, frames.ticks() - 1, frames.seconds(), frames.frame())) break;
    }
    driver.finish(result);
    return result;
}

SessionResult runReplaySession(const Options& options, const SessionHooks& hooks) {
    SessionResult result;
    TickReplayer replayer;
    if (!replayer.open(options.replayPath, result.message)) {
        result.ok = false;
        return result;
    }
    SessionDriver driver(options, hooks);
    if (!driver.start(result)) return result;
    HostFrame frame;
    uint64_t tick = 0;
    double seconds = 0.0;
    std::string error;
    while (true) {
        if (!replayer.next(tick, seconds, frame, error)) {
            if (!error.empty()) {
                result.ok = false;
                result.message = error;
            } else {
                result.message = "end of the recording";
            }
            break;
        }
        if (!driver.more(result, seconds)) break;
        if (!driver.publish(result, tick, seconds, frame)) break;
    }
    driver.finish(result);
    return result;
}

}  // namespace eegsim
